#pragma once

#include <string>

#include "platform/CreatedFiles.h"

// Ends the program on a job that did not stop in time, as a second stop signal asks: removes what
// the job made through the folder it holds, waiting a bounded time for a medium that may not
// answer, then says after prefix ("orvanto-split: ") what may be left and ends with the first
// stop signal's default action.
[[noreturn]] void giveUpOnJob(CreatedFiles made, const std::string& prefix);
