// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/system_support.h"
#include "quarvo/base/errors.h"
#include "quarvo/files/file_seam.h"

namespace quarvo::files {

std::string SystemReason(int error) {
    char buffer[256] = {};
    return ::strerror_r(error, buffer, sizeof buffer);
}

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = file_seam::Calls().write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            throw EWriteError(SystemReason(errno));
        }
        if (written == 0) throw EWriteError();
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace quarvo::files
