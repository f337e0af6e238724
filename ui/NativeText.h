#pragma once

#include <string>

#include <QString>

// Paths and texts below ui/ are the file system's bytes; the windows show QStrings.
QString fromNative(const std::string& text);
std::string toNative(const QString& text);
