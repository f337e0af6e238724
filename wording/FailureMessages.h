#pragma once

#include <exception>
#include <string>

// How the faces word a failure thrown below them: the typed failures of the settings and of the
// source check in their own words, any other failure by its what().
std::string failureText(const std::exception& failure);
