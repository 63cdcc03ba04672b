// SPDX-License-Identifier: MIT
#include "win32_test_folder.h"

#include <algorithm>
#include <atomic>

namespace quarvo::testing {
namespace {

// Clears the attributes that would keep a file from being deleted, then
// deletes the folder's content and the folder.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path + "\\");
            } else if (!DeleteFileA(path.c_str())) {
                RemoveDirectoryA(path.c_str());  // a link to a folder
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

void Win32TestFolder::SetUp() {
    static std::atomic<unsigned> counter{0};
    char temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "quarvo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(counter++) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
}

void Win32TestFolder::TearDown() {
    if (!folder_.empty()) RemoveTree(folder_);
}

std::string Win32TestFolder::PathOf(std::string_view name) const {
    return folder_ + std::string(name);
}

std::vector<std::string> Win32TestFolder::Entries() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void PutFile(const std::string& path, std::string_view bytes) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsOpen()) << path << " error " << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::string FileBytes(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file.IsOpen()) << path << " error " << GetLastError();
    if (!file.IsOpen()) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

}  // namespace quarvo::testing
