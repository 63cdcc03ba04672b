// SPDX-License-Identifier: MIT
#include <algorithm>

#include "files/system_support.h"
#include "quarvo/base/errors.h"

namespace quarvo::files {

std::string SystemReason(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length != 0 && text != nullptr ? std::string(text, length)
                                                        : "error " + std::to_string(error);
    if (text != nullptr) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

std::string LastSystemReason() {
    return SystemReason(GetLastError());
}

void WriteAll(HANDLE file, std::string_view text) {
    // WriteFile takes a 32-bit count; larger texts go in pieces.
    constexpr std::size_t kLargestRequest = std::size_t{1} << 30;
    while (!text.empty()) {
        const auto request = static_cast<DWORD>(std::min(text.size(), kLargestRequest));
        DWORD written = 0;
        if (!::WriteFile(file, text.data(), request, &written, nullptr))
            throw EWriteError(LastSystemReason());
        if (written == 0) throw EWriteError();
        text.remove_prefix(written);
    }
}

}  // namespace quarvo::files
