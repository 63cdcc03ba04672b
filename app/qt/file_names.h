// SPDX-License-Identifier: MIT
// File names cross between the fields, which hold text, and the core, which
// takes the bytes the file system uses.
#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace quarvo {

[[nodiscard]] inline std::string fileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

[[nodiscard]] inline QString fileNameText(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace quarvo
