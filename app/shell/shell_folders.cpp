// SPDX-License-Identifier: MIT
#include "shell_folders.h"

#include "quarvo/files/file_layer.h"

namespace quarvo {

std::string WithTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() != kPathSeparator) path.push_back(kPathSeparator);
    return path;
}

std::string GetShellFolderPath(std::uint8_t kind) {
    return WithTrailingSeparator(LookUpShellFolder(kind));
}

}  // namespace quarvo
