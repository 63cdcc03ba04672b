// SPDX-License-Identifier: MIT
// The folder lookup against the registry and the system folders of the
// machine it runs on (under Wine: the test prefix). Registry values the tests
// change are put back afterwards.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "quarvo/base/errors.h"
#include "shell_folders.h"
#include "win32_test_folder.h"

namespace quarvo {
namespace {

constexpr char kUserFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kMachineKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The value names of kinds 0 to 16 (user folders key) and 21 to 26 (machine
// key), as the lookup's contract lists them.
constexpr std::array<const char*, 17> kUserValueNames{
    "Desktop", "Start Menu", "Programs",  "Startup",   "Personal",     "AppData",
    "Fonts",   "SendTo",     "Recent",    "Favorites", "Cache",        "Cookies",
    "History", "NetHood",    "PrintHood", "Templates", "Local AppData"};
constexpr std::array<const char*, 6> kMachineValueNames{
    "ProgramFilesDir", "CommonFilesDir", "ConfigPath", "DevicePath", "MediaPath", "WallPaperDir"};

struct SavedValue {
    HKEY root;
    std::string key;
    std::string name;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> data;  // empty: was absent
};

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Environment(const char* name) {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

class WindowsShellFolders : public testing::Win32TestFolder {
  protected:
    void TearDown() override {
        for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) Restore(*saved);
        if (saved_tmp_) {
            SetEnvironmentVariableA("TMP", saved_tmp_->empty() ? nullptr : saved_tmp_->c_str());
        }
        testing::Win32TestFolder::TearDown();
    }

    // Sets a value for the length of the test. False when this account may
    // not write the key (a machine key without administrator rights).
    bool SetValue(HKEY root, const char* key, const std::string& name, DWORD type, const void* data,
                  DWORD size) {
        HKEY opened = nullptr;
        if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        Save(root, key, name, opened);
        const bool set = RegSetValueExA(opened, name.c_str(), 0, type,
                                        static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
        RegCloseKey(opened);
        return set;
    }

    bool SetString(HKEY root, const char* key, const std::string& name, const std::string& value,
                   DWORD type = REG_SZ) {
        return SetValue(root, key, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }

    void DeleteValue(HKEY root, const char* key, const std::string& name) {
        HKEY opened = nullptr;
        ASSERT_EQ(RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &opened), ERROR_SUCCESS);
        Save(root, key, name, opened);
        RegDeleteValueA(opened, name.c_str());
        RegCloseKey(opened);
    }

    void SetTmp(const std::string& value) {
        if (!saved_tmp_) saved_tmp_ = Environment("TMP");
        ASSERT_TRUE(SetEnvironmentVariableA("TMP", value.c_str()));
    }

  private:
    void Save(HKEY root, const char* key, const std::string& name, HKEY opened) {
        SavedValue saved{root, key, name, std::nullopt};
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS) {
            std::vector<BYTE> bytes(size);
            RegQueryValueExA(opened, name.c_str(), nullptr, &type, bytes.data(), &size);
            saved.data = std::make_pair(type, bytes);
        }
        saved_.push_back(std::move(saved));
    }

    static void Restore(const SavedValue& saved) {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(saved.root, saved.key.c_str(), 0, KEY_ALL_ACCESS, &opened) !=
            ERROR_SUCCESS) {
            return;
        }
        if (saved.data) {
            RegSetValueExA(opened, saved.name.c_str(), 0, saved.data->first,
                           saved.data->second.data(),
                           static_cast<DWORD>(saved.data->second.size()));
        } else {
            RegDeleteValueA(opened, saved.name.c_str());
        }
        RegCloseKey(opened);
    }

    std::vector<SavedValue> saved_;
    std::optional<std::string> saved_tmp_;  // empty text: TMP was not set
};

TEST_F(WindowsShellFolders, EachUserFolderKindReadsItsOwnValue) {
    for (std::uint8_t kind = 0; kind < kUserValueNames.size(); ++kind) {
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFoldersKey, kUserValueNames[kind],
                              "C:\\Quarvo Test\\user kind " + std::to_string(kind)));
    }
    for (std::uint8_t kind = 0; kind < kUserValueNames.size(); ++kind) {
        EXPECT_EQ(GetShellFolderPath(kind),
                  "C:\\Quarvo Test\\user kind " + std::to_string(kind) + "\\")
            << "kind " << int(kind) << " (" << kUserValueNames[kind] << ")";
    }
}

TEST_F(WindowsShellFolders, EachMachineKindReadsItsOwnValue) {
    for (std::size_t i = 0; i < kMachineValueNames.size(); ++i) {
        if (!SetString(HKEY_LOCAL_MACHINE, kMachineKey, kMachineValueNames[i],
                       "D:\\machine kind " + std::to_string(21 + i))) {
            GTEST_SKIP() << "this account may not write the machine key";
        }
    }
    for (std::size_t i = 0; i < kMachineValueNames.size(); ++i) {
        const auto kind = static_cast<std::uint8_t>(21 + i);
        EXPECT_EQ(GetShellFolderPath(kind), "D:\\machine kind " + std::to_string(kind) + "\\")
            << "kind " << int(kind) << " (" << kMachineValueNames[i] << ")";
    }
}

TEST_F(WindowsShellFolders, TheFreshPrefixFoldersEndInOneBackslash) {
    // Whatever the machine holds: every kind that has a folder ends in
    // exactly one backslash, and the documents and Program Files folders
    // exist there. (Without administrator rights the machine key cannot be
    // opened with full access, and Program Files is then rightly empty.)
    for (int kind = 0; kind <= 26; ++kind) {
        const std::string folder = GetShellFolderPath(static_cast<std::uint8_t>(kind));
        if (folder.empty()) continue;
        EXPECT_EQ(folder.back(), '\\') << "kind " << kind << ": " << folder;
        EXPECT_NE(folder.substr(folder.size() - 2), "\\\\") << "kind " << kind << ": " << folder;
    }
    const std::string documents = GetShellFolderPath(kPersonalFolder);
    const std::string program_files = GetShellFolderPath(kProgramFilesFolder);
    ASSERT_FALSE(documents.empty());
    EXPECT_NE(GetFileAttributesA(documents.c_str()), INVALID_FILE_ATTRIBUTES) << documents;
    if (!program_files.empty()) {
        EXPECT_NE(GetFileAttributesA(program_files.c_str()), INVALID_FILE_ATTRIBUTES)
            << program_files;
    }
}

TEST_F(WindowsShellFolders, AValueEndingInABackslashIsReturnedUnchanged) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFoldersKey, "Personal", "C:\\Docs\\"));
    EXPECT_EQ(GetShellFolderPath(kPersonalFolder), "C:\\Docs\\");
}

TEST_F(WindowsShellFolders, AnExpandableStringIsReturnedAsStored) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFoldersKey, "AppData", "%USERPROFILE%\\Data",
                          REG_EXPAND_SZ));
    EXPECT_EQ(GetShellFolderPath(5), "%USERPROFILE%\\Data\\");
}

TEST_F(WindowsShellFolders, AMissingOrEmptyValueGivesTheEmptyString) {
    DeleteValue(HKEY_CURRENT_USER, kUserFoldersKey, "Cache");
    EXPECT_EQ(GetShellFolderPath(10), "");
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFoldersKey, "Cookies", ""));
    EXPECT_EQ(GetShellFolderPath(11), "");
}

TEST_F(WindowsShellFolders, AValueOfAnotherTypeIsAnError) {
    const DWORD number = 42;
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kUserFoldersKey, "Favorites", REG_DWORD, &number,
                         sizeof number));
    try {
        (void)GetShellFolderPath(9);
        ADD_FAILURE() << "nothing thrown";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Favorites'");
    }
    // The keys were closed on the way out: the next lookup works as usual.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kUserFoldersKey, "Favorites", "C:\\Fav"));
    EXPECT_EQ(GetShellFolderPath(9), "C:\\Fav\\");
}

TEST_F(WindowsShellFolders, TheWindowsAndSystemFolders) {
    const std::string windows = Environment("SystemRoot");
    ASSERT_FALSE(windows.empty());
    EXPECT_TRUE(SameIgnoringCase(GetShellFolderPath(17), windows + "\\"))
        << GetShellFolderPath(17) << " vs " << windows;
    EXPECT_TRUE(SameIgnoringCase(GetShellFolderPath(18), windows + "\\system32\\"))
        << GetShellFolderPath(18);
}

TEST_F(WindowsShellFolders, TheTemporaryFolderEndsInExactlyOneBackslash) {
    const std::string folder = folder_.substr(0, folder_.size() - 1);  // without its backslash
    SetTmp(folder);
    EXPECT_EQ(GetShellFolderPath(19), folder + "\\");
    SetTmp(folder + "\\");
    EXPECT_EQ(GetShellFolderPath(19), folder + "\\");
}

TEST_F(WindowsShellFolders, KindTwentyIsTheSystemDriveOnly) {
    const std::string drive = Environment("SystemDrive");
    ASSERT_EQ(drive.size(), 2u) << drive;
    EXPECT_TRUE(SameIgnoringCase(GetShellFolderPath(20), drive + "\\")) << GetShellFolderPath(20);
}

TEST_F(WindowsShellFolders, KindsFromTwentySevenUpHaveNoFolder) {
    for (int kind = 27; kind <= 255; ++kind) {
        EXPECT_EQ(GetShellFolderPath(static_cast<std::uint8_t>(kind)), "") << "kind " << kind;
    }
}

}  // namespace
}  // namespace quarvo
