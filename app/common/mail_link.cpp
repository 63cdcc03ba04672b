// SPDX-License-Identifier: MIT
#include "mail_link.h"

namespace quarvo {

std::string MailLink(std::string_view address) {
    std::string link = "mailto:";
    link += address;
    link += "?subject=Quarvo: ";
    return link;
}

}  // namespace quarvo
