#pragma once

#include <string>

struct SplitCompletion;

// The folder that holds a finished split's files: where the folder written is now, when the
// folder given was moved or replaced meanwhile and that could be found, else the folder given.
std::string setFolder(const SplitCompletion& completion);

// What a finished split's report adds when the folder given no longer leads to the folder
// written; empty while it does.
std::string movedFolderText(const SplitCompletion& completion);
