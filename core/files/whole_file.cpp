// SPDX-License-Identifier: MIT
// Whole-file reading and writing, the same on every platform on top of the
// platform's FileReading and FileReplacement.
#include "quarvo/files/file_layer.h"
#include "text/large_buffer.h"

namespace quarvo {

std::string ReadWholeFile(const std::string& file_name) {
    FileReading file(file_name);
    std::string text;
    text.reserve(file.size());
    AdviseHugePages(text);
    text.resize(file.size());
    file.ReadAt(0, text.data(), text.size());
    return text;
}

void WriteWholeFile(const std::string& file_name, std::string_view text) {
    FileReplacement replacement(file_name);
    replacement.Write(text);
    replacement.Commit();
}

}  // namespace quarvo
