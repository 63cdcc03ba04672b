// SPDX-License-Identifier: MIT
// The Windows file layer against the real kernel32 (or Wine's): share modes,
// the replacement of an existing file, and the directory search of the
// existence tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "quarvo/base/errors.h"
#include "quarvo/conversions/conversion_run.h"
#include "quarvo/files/file_layer.h"
#include "win32_test_folder.h"

namespace quarvo {
namespace {

using testing::FileBytes;
using testing::PutFile;
using testing::ScopedHandle;

class WindowsFileLayer : public testing::Win32TestFolder {};

// Opens `path` asking for as little as possible: reading, with every kind of
// sharing granted. Only a holder that shares nothing makes this fail with a
// sharing violation.
DWORD ErrorOfPoliteOpen(const std::string& path) {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(handle);
    return ERROR_SUCCESS;
}

// ": " and the system's text for `error`, as the file layer ends its
// messages.
std::string Because(DWORD error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && std::string_view("\r\n .").find(text[length - 1]) != std::string::npos)
        --length;
    return ": " + std::string(text, length);
}

template <typename Error, typename Call>
std::string MessageOf(Call call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST_F(WindowsFileLayer, ReadWholeFileGivesTheRawBytes) {
    const std::string bytes("a\0b\rc\r\n\xff\x02\x02", 10);
    PutFile(PathOf("raw.bin"), bytes);
    EXPECT_EQ(ReadWholeFile(PathOf("raw.bin")), bytes);
}

TEST_F(WindowsFileLayer, ReadWholeFileOfAnEmptyFileIsEmpty) {
    PutFile(PathOf("empty.txt"), "");
    EXPECT_EQ(ReadWholeFile(PathOf("empty.txt")), "");
}

TEST_F(WindowsFileLayer, ReadWholeFileOfAMissingFileOrAFolderCannotOpen) {
    const std::string missing = PathOf("missing.txt");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(missing); }),
              "Cannot open file " + missing + Because(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryA(PathOf("sub").c_str(), nullptr));
    EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(PathOf("sub")); }),
              "Cannot open file " + PathOf("sub") + Because(ERROR_ACCESS_DENIED));
}

TEST_F(WindowsFileLayer, ReadWholeFileFailsWhileAnotherHandleHasTheFileOpenForWriting) {
    const std::string path = PathOf("written.txt");
    PutFile(path, "content");
    {
        // The writer itself lets everybody in; the refusal must come from the
        // reader, which lets nobody write.
        ScopedHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(MessageOf<EFOpenError>([&] { (void)ReadWholeFile(path); }),
                  "Cannot open file " + path + Because(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadWholeFile(path), "content");
}

TEST_F(WindowsFileLayer, ReadWholeFileSharesTheFileWithOtherReaders) {
    const std::string path = PathOf("read.txt");
    PutFile(path, "shared");
    ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(ReadWholeFile(path), "shared");
}

TEST_F(WindowsFileLayer, WriteWholeFileStoresExactlyTheText) {
    const std::string path = PathOf("out.txt");
    const std::string bytes("x\0y\r\n\n\x80", 7);
    WriteWholeFile(path, bytes);
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.txt"});
}

TEST_F(WindowsFileLayer, WriteWholeFileWithAnEmptyTextEmptiesALongerFile) {
    const std::string path = PathOf("out.txt");
    PutFile(path, "a much longer text than nothing");
    WriteWholeFile(path, "");
    EXPECT_EQ(FileBytes(path), "");
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.txt"});
}

TEST_F(WindowsFileLayer, WriteWholeFileIntoAMissingFolderCannotCreate) {
    const std::string path = PathOf("no-such-folder\\out.txt");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(path, "text"); }),
              "Cannot create file " + path + Because(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(WindowsFileLayer, WriteWholeFileOnAFoldersNameCannotCreate) {
    const std::string path = PathOf("sub");
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(path, "text"); }),
              "Cannot create file " + path + Because(ERROR_ACCESS_DENIED));
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"sub"});
}

TEST_F(WindowsFileLayer, WriteWholeFileOnAFileInUseLeavesItAsItWas) {
    const std::string path = PathOf("in-use.txt");
    PutFile(path, "old content");
    {
        ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(path, "new"); }),
                  "Cannot create file " + path + Because(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(FileBytes(path), "old content");
    EXPECT_EQ(Entries(), std::vector<std::string>{"in-use.txt"});
}

TEST_F(WindowsFileLayer, WriteWholeFileOnAReadOnlyFileLeavesItAsItWas) {
    const std::string path = PathOf("locked.txt");
    PutFile(path, "old content");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(MessageOf<EFCreateError>([&] { WriteWholeFile(path, "new"); }),
              "Cannot create file " + path + Because(ERROR_ACCESS_DENIED));
    EXPECT_EQ(FileBytes(path), "old content");
    EXPECT_EQ(Entries(), std::vector<std::string>{"locked.txt"});
}

TEST_F(WindowsFileLayer, WriteWholeFileKeepsAHiddenFileHidden) {
    const std::string path = PathOf("hidden.txt");
    PutFile(path, "old");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteWholeFile(path, "new");
    EXPECT_EQ(FileBytes(path), "new");
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"hidden.txt"});
}

// A folder holding "link.txt", a symbolic link to "real.txt" beside it: made
// here where the account may make links, or handed in by the test script
// (under Wine, whose CreateSymbolicLink makes nothing, as a POSIX link).
std::string FolderWithLink(const std::string& fresh_folder) {
    const std::string real = fresh_folder + "real.txt";
    const std::string link = fresh_folder + "link.txt";
    testing::PutFile(real, "old");
    if (CreateSymbolicLinkA(link.c_str(), real.c_str(), 0) &&
        GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return fresh_folder;
    }
    DeleteFileA(real.c_str());
    const char* handed_in = std::getenv("QUARVO_LINK_FOLDER");
    if (handed_in == nullptr || *handed_in == '\0') return {};
    std::string folder = handed_in;
    if (folder.back() != '\\') folder += '\\';
    testing::PutFile(folder + "real.txt", "old");
    return folder;
}

TEST_F(WindowsFileLayer, WriteWholeFileThroughASymbolicLinkReplacesTheFileItPointsTo) {
    const std::string folder = FolderWithLink(folder_);
    if (folder.empty()) GTEST_SKIP() << "no symbolic link can be made or was handed in";
    WriteWholeFile(folder + "link.txt", "new");
    EXPECT_EQ(FileBytes(folder + "real.txt"), "new");
    EXPECT_EQ(FileBytes(folder + "link.txt"), "new");  // still a link to it
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// While the new content is being written, neither the file being replaced
// nor the new file beside it can be opened by anyone else. The write is made
// large enough to be watched; a round only counts when the new file was seen
// still open after the old one was tried, which proves the old one was still
// held when it was tried.
TEST_F(WindowsFileLayer, AFileBeingWrittenCannotBeOpenedByAnyoneElse) {
    const std::string target = PathOf("busy.txt");
    bool watched = false;
    for (std::size_t megabytes = 32; megabytes <= 256 && !watched; megabytes *= 2) {
        PutFile(target, "old");
        const std::string text(megabytes << 20, 'q');
        std::atomic<bool> finished{false};
        std::optional<std::string> writer_error;
        std::thread writer([&] {
            try {
                WriteWholeFile(target, text);
            } catch (const Exception& error) {
                writer_error = error.what();  // only when a probe got in at the rename
            }
            finished = true;
        });

        std::string temporary;
        while (!finished && temporary.empty()) {
            for (const std::string& name : Entries()) {
                if (name != "busy.txt") temporary = PathOf(name);
            }
        }
        if (!temporary.empty()) {
            const DWORD target_error = ErrorOfPoliteOpen(target);
            const DWORD temporary_error = ErrorOfPoliteOpen(temporary);
            if (temporary_error == ERROR_SHARING_VIOLATION) {
                watched = true;
                EXPECT_EQ(target_error, static_cast<DWORD>(ERROR_SHARING_VIOLATION))
                    << "the file being replaced could be opened meanwhile";
            }
        }
        writer.join();
        if (watched) {
            EXPECT_FALSE(writer_error.has_value()) << *writer_error;
            EXPECT_EQ(FileBytes(target).size(), text.size());
        }
        EXPECT_EQ(Entries(), std::vector<std::string>{"busy.txt"});
    }
    EXPECT_TRUE(watched) << "never saw the new file while it was being written";
}

TEST_F(WindowsFileLayer, ExistenceTestsOfFilesAndFolders) {
    PutFile(PathOf("plain.txt"), "x");
    ASSERT_TRUE(CreateDirectoryA(PathOf("sub").c_str(), nullptr));

    EXPECT_TRUE(PathExists(PathOf("plain.txt")));
    EXPECT_TRUE(PlainFileExists(PathOf("plain.txt")));
    EXPECT_TRUE(PathExists(PathOf("sub")));
    EXPECT_FALSE(PlainFileExists(PathOf("sub")));
    EXPECT_FALSE(PathExists(PathOf("missing.txt")));
    EXPECT_FALSE(PlainFileExists(PathOf("missing.txt")));
    EXPECT_FALSE(PathExists(PathOf("no-such-folder\\plain.txt")));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(PlainFileExists(""));
}

TEST_F(WindowsFileLayer, OnlyAReadableFileOnDiskIsReadableAndAMissingOneSaysWhy) {
    PutFile(PathOf("plain.txt"), "x");
    ASSERT_TRUE(CreateDirectoryA(PathOf("sub").c_str(), nullptr));
    EXPECT_TRUE(IsReadableFile(PathOf("plain.txt")));
    EXPECT_FALSE(IsReadableFile(PathOf("sub")));
    EXPECT_FALSE(IsReadableFile(PathOf("missing.txt")));
    EXPECT_FALSE(IsReadableFile("NUL"));
    EXPECT_FALSE(IsReadableFile(""));
    EXPECT_EQ(": " + MissingReason(PathOf("missing.txt")), Because(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(": " + MissingReason(PathOf("no-such-folder\\plain.txt")),
              Because(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(MissingReason(PathOf("plain.txt")), "");
}

// As /dev/null on POSIX systems: a device takes the bytes where it is.
TEST_F(WindowsFileLayer, ADeviceIsWrittenWhereItIsNotReplaced) {
    WriteWholeFile("NUL", "gone");
    WriteWholeFile(PathOf("NUL"), "gone too");  // every folder has it
    EXPECT_TRUE(Entries().empty());
}

// The standard output sent to a file, as a console program's is by "> file"
// or ">> file": "-" and the file's own name, in any case, write into it
// where it stands, after what it holds, and a run may not name it twice.
TEST_F(WindowsFileLayer, TheStandardOutputByNameIsWrittenWhereItStands) {
    const std::string sink = PathOf("Output.txt");
    PutFile(sink, "held\r\n");
    EXPECT_FALSE(IsStandardOutput("-")) << "only a program that lets names stand for it";
    ScopedHandle out(CreateFileA(sink.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(out.IsOpen());
    ASSERT_NE(SetFilePointer(out.Get(), 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    ASSERT_TRUE(SetStdHandle(STD_OUTPUT_HANDLE, out.Get()));
    TakeStandardOutputByName();
    const bool named = IsStandardOutput("-") && IsStandardOutput(sink) &&
                       IsStandardOutput(PathOf("OUTPUT.TXT")) && !IsStandardOutput(PathOf("x.txt"));
    std::string refusal;
    try {
        WriteWholeFile("-", "one ");
        WriteWholeFile(sink, "two ");
        WriteWholeFile(PathOf("output.txt"), "three");
        CheckConversionRun(
            {ConversionJob{PathOf("a.adr"), "-"}, ConversionJob{PathOf("b.adr"), sink}});
    } catch (const Exception& error) {
        refusal = error.what();
    }
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    EXPECT_TRUE(named);
    EXPECT_EQ(refusal, "Output files - and " + sink + " are the same file: nothing converted");
    EXPECT_EQ(FileBytes(sink), "held\r\none two three");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Output.txt"});
    EXPECT_EQ(GetFileAttributesA("-"), INVALID_FILE_ATTRIBUTES) << "a file named - was made";
}

TEST_F(WindowsFileLayer, ExistenceTestsSeeHiddenAndSystemFiles) {
    const std::string path = PathOf("secret.txt");
    PutFile(path, "x");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(PathExists(path));
    EXPECT_TRUE(PlainFileExists(path));
}

TEST_F(WindowsFileLayer, ExistenceTestsReadWildcardsAsASearchPattern) {
    PutFile(PathOf("contacts.adr"), "x");
    ASSERT_TRUE(CreateDirectoryA(PathOf("profile").c_str(), nullptr));
    EXPECT_TRUE(PathExists(PathOf("*.adr")));
    EXPECT_TRUE(PathExists(PathOf("contact?.adr")));
    EXPECT_TRUE(PathExists(PathOf("prof*")));
    EXPECT_FALSE(PlainFileExists(PathOf("prof*")));  // the only match is a folder
    EXPECT_FALSE(PathExists(PathOf("*.csv")));
    EXPECT_FALSE(PathExists(PathOf("contacts?.adr")));
}

// A removable or optical drive that holds no medium; empty when the machine
// has none.
std::string DriveWithoutMedium() {
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    std::string found;
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z' && found.empty(); ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        const std::string root = std::string(1, letter) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type != DRIVE_CDROM && type != DRIVE_REMOVABLE) continue;
        if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) found = root;
    }
    SetErrorMode(previous_mode);
    return found;
}

TEST_F(WindowsFileLayer, PathExistsOnADriveWithoutAMediumIsFalse) {
    // The test script sets up such a drive under Wine and names it; on a
    // real machine any empty optical or removable drive serves.
    const char* named = std::getenv("QUARVO_NO_MEDIUM_DRIVE");
    const std::string drive =
        named != nullptr && *named != '\0' ? std::string(named) + "\\" : DriveWithoutMedium();
    if (drive.empty()) GTEST_SKIP() << "no removable or optical drive without a medium here";
    const UINT type = GetDriveTypeA(drive.c_str());
    ASSERT_TRUE(type == DRIVE_CDROM || type == DRIVE_REMOVABLE) << drive << " type " << type;
    EXPECT_FALSE(PathExists(drive + "Opera\\profile\\contacts.adr"));
    EXPECT_FALSE(PathExists(drive + "*"));
}

TEST_F(WindowsFileLayer, PathExistsPutsTheCallersErrorModeBack) {
    PutFile(PathOf("plain.txt"), "x");
    const UINT callers_mode = SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    const UINT original = SetErrorMode(callers_mode);
    (void)PathExists(PathOf("plain.txt"));
    (void)PathExists(PathOf("missing.txt"));
    const UINT after = GetErrorMode();
    SetErrorMode(original);
    EXPECT_EQ(after, callers_mode);
}

TEST_F(WindowsFileLayer, LeftoversOfKilledRunsGoWithTheNextWriteIntoTheirFolder) {
    const std::string stale = PathOf("~quarvo-1c-2f.tmp");
    const std::string being_written = PathOf("~quarvo-3d-4e.tmp");
    for (const std::string& name : {stale, being_written}) {
        PutFile(name, "left over");
        ScopedHandle file(CreateFileA(name.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        FILETIME an_hour_ago{};
        GetSystemTimeAsFileTime(&an_hour_ago);
        ULARGE_INTEGER ticks{};
        ticks.LowPart = an_hour_ago.dwLowDateTime;
        ticks.HighPart = an_hour_ago.dwHighDateTime;
        ticks.QuadPart -= 3600ull * 10'000'000ull;
        an_hour_ago.dwLowDateTime = ticks.LowPart;
        an_hour_ago.dwHighDateTime = ticks.HighPart;
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &an_hour_ago));
    }
    // Its writer shares nothing while it writes.
    ScopedHandle writer(CreateFileA(being_written.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.IsOpen());
    WriteWholeFile(PathOf("out.txt"), "new");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"out.txt", "~quarvo-3d-4e.tmp"}));
}

}  // namespace
}  // namespace quarvo
