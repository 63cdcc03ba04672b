// SPDX-License-Identifier: MIT
#include "formats/output_encoding.h"

#include <algorithm>

#include "text/text_encoding.h"

namespace quarvo::formats {

std::string_view EncodingPreamble(OutputEncoding encoding) noexcept {
    return encoding == OutputEncoding::kUtf8Bom ? "\xEF\xBB\xBF" : "";
}

std::string EncodeText(std::string_view utf8, OutputEncoding encoding,
                       std::vector<char32_t>& replaced) {
    if (encoding != OutputEncoding::kWindows1252) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        // ASCII is the same in both: taken in runs.
        std::size_t run = i;
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8, i, run - i);
        i = run;
        if (i == utf8.size()) break;
        const std::size_t length = Utf8SequenceLength(utf8, i);
        if (length == 0) {
            out += utf8[i++];
            continue;
        }
        const char32_t code = DecodeUtf8(utf8, i, length);
        i += length;
        if (const auto byte = CodePointToWindows1252(code)) {
            out += static_cast<char>(*byte);
            continue;
        }
        out += '?';
        if (std::find(replaced.begin(), replaced.end(), code) == replaced.end())
            replaced.push_back(code);
    }
    return out;
}

}  // namespace quarvo::formats
