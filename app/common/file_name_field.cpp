// SPDX-License-Identifier: MIT
#include "file_name_field.h"

#include <algorithm>

#include "quarvo/base/errors.h"

namespace quarvo {
namespace {

bool is_valid_file_name(std::string_view name) {
#ifdef _WIN32
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 ||
               std::string_view("<>|\"*?").find(c) != std::string_view::npos;
    });
#else
    return name.find('\0') == std::string_view::npos;
#endif
}

}  // namespace

std::string FieldTextForFileName(std::string_view name) {
    if (!is_valid_file_name(name)) throw Exception("Invalid file name - " + std::string(name));
    const bool quote = name.find(' ') != std::string_view::npos && !name.starts_with('"');
    return quote ? '"' + std::string(name) + '"' : std::string(name);
}

std::string FileNameFromFieldText(std::string_view text) {
    if (text.starts_with('"')) text.remove_prefix(1);
    if (text.ends_with('"')) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace quarvo
