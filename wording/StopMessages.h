#pragma once

#include <string>

struct SplitPlan;

// What a program ended at once by a second stop signal says on standard error, after its
// prefix ("orvanto-split: ").
std::string splitLeftoverNote(const std::string& prefix, const SplitPlan& plan);
// targetFolder: where the join writes its hidden temporary file.
std::string joinLeftoverNote(const std::string& prefix, const std::string& targetFolder);
