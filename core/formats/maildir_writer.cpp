// SPDX-License-Identifier: MIT
#include "formats/maildir_writer.h"

namespace quarvo::formats {

std::string MaildirMessageName(std::int64_t date, std::uint64_t serial, bool draft) {
    std::string name =
        "cur/" + std::to_string(date < 0 ? 0 : date) + ".M" + std::to_string(serial) + ".quarvo";
    if (kMaildirInfoInNames) name += draft ? ":2,D" : ":2,";
    return name;
}

}  // namespace quarvo::formats
