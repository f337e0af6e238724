#pragma once

#include <string>

#include <QString>

// Paths and texts below ui/ are the file system's bytes; the windows show QStrings.
QString fromNative(const std::string& text);
std::string toNative(const QString& text);

// The bytes of a path that a dialog, a drop or the command line gave as a QString. Qt reads each
// byte of a name that is not UTF-8 as U+FFFD and cannot give the bytes back, so such a path
// would name nothing: the name on disk that Qt shows so is looked up instead, part by part.
std::string chosenPath(const QString& path);
