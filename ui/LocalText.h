#pragma once

#include <string>

#include <QByteArray>
#include <QFile>
#include <QString>

// Paths and names below ui/ are the file system's bytes; the windows show them as QString.
inline std::string toLocal(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

inline QString fromLocal(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}
