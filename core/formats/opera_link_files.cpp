// SPDX-License-Identifier: MIT
#include "formats/opera_link_files.h"

#include "formats/opera_ini.h"
#include "text/text_encoding.h"

namespace quarvo::formats {

std::string LinkText(std::string_view value, std::string_view place, ConversionReport& report) {
    if (IsValidUtf8(value)) return std::string(value);
    report.Warn(kLinkNotUtf8Warning, place);
    return Windows1252ToUtf8(value);
}

std::string SessionName(std::string_view file_name) {
    if (SameLetters(file_name, "autosave.win")) return "Last session";
    constexpr std::string_view kEnding = ".win";
    if (file_name.size() > kEnding.size() &&
        SameLetters(file_name.substr(file_name.size() - kEnding.size()), kEnding))
        file_name.remove_suffix(kEnding.size());
    return std::string(file_name);
}

std::string WithoutMenuMarks(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '&') {
            out += name[i];
        } else if (i + 1 < name.size() && name[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

}  // namespace quarvo::formats
