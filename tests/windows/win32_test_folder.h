// SPDX-License-Identifier: MIT
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards, and small raw-file helpers that go
// straight to kernel32 so that the file layer is checked by other means
// than itself.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace quarvo::testing {

class Win32TestFolder : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Full name of `name` inside the test folder.
    [[nodiscard]] std::string PathOf(std::string_view name) const;

    // The names in the test folder, "." and ".." left out, sorted.
    [[nodiscard]] std::vector<std::string> Entries() const;

    std::string folder_;  // ends in a backslash
};

// Creates or overwrites `path` with exactly `bytes`; fails the test otherwise.
void PutFile(const std::string& path, std::string_view bytes);

// The bytes of `path`, read with any sharing allowed.
[[nodiscard]] std::string FileBytes(const std::string& path);

// Closes a handle when it goes out of scope.
class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    [[nodiscard]] HANDLE Get() const { return handle_; }
    [[nodiscard]] bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

}  // namespace quarvo::testing
