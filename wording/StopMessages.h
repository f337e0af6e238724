#pragma once

#include <string>
#include <vector>

// What a program that gives up on a job that does not stop says on standard error, after its
// prefix ("orvanto-split: "): which of the files the job made in folder may be left; folder is
// empty when the job had not yet opened one.
std::string leftoverNote(const std::string& prefix, const std::string& folder,
                         const std::vector<std::string>& left);
