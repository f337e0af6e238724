#include "ui/NativeText.h"

#include <QByteArray>
#include <QFile>

QString fromNative(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::string toNative(const QString& text) {
    return QFile::encodeName(text).toStdString();
}
