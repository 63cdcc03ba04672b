// SPDX-License-Identifier: MIT
// The fixed texts the two default outputs begin and end with: the address
// book's CSV header line and the bookmark file's frame.
#pragma once

#include <string_view>

namespace quarvo {

// The header line of the CSV file: the address book's 29 column names.
inline constexpr std::string_view kContactsCsvHeader =
    "First Name,Last Name,Middle Name,Name,Nickname,E-mail Address,Home Street,Home City,"
    "Home Postal Code,Home State,Home Country/Region,Home Phone,Home Fax,Mobile Phone,"
    "Personal Web Page,Business Street,Business City,Business Postal Code,Business State,"
    "Business Country/Region,Business Web Page,Business Phone,Business Fax,Pager,Company,"
    "Job Title,Department,Office Location,Notes\r\n";

// The bookmark file's frame, around the entries.
inline constexpr std::string_view kBookmarkPrologue =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "It will be read and overwritten.\r\n"
    "Do Not Edit! -->\r\n"
    "<TITLE>Bookmarks</TITLE>\r\n"
    "<H1>Bookmarks</H1>\r\n"
    "<DL><p>\r\n";
inline constexpr std::string_view kBookmarkEpilogue = "</DL><p>\r\n";

}  // namespace quarvo
