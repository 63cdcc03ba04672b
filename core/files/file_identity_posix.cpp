// SPDX-License-Identifier: MIT
// File identities on POSIX systems (Linux). A file system that ignores the
// case of names says so in one of three ways: the folder carries the
// case-folding flag (ext4, f2fs), the file system is of a kind that always
// ignores case (FAT, exFAT, SMB), or, for kinds that cannot be told apart
// by their type (FUSE, NFS, 9p), the folder finds one of its entries under
// another spelling, or the mount table names a FUSE file system that
// ignores case.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <locale.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_identity.h"
#include "files/system_support.h"
#include "quarvo/files/file_seam.h"
#include "text/text_encoding.h"

namespace quarvo {
namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMostLinksFollowed = 40;

// Kinds of file system that always ignore case.
constexpr std::array<std::uint32_t, 6> kCaseBlind = {
    MSDOS_SUPER_MAGIC,
    EXFAT_SUPER_MAGIC,
    CIFS_SUPER_MAGIC,
    SMB2_SUPER_MAGIC,
    0x517B,  // SMB
    0x482B,  // HFS+
};
// Kinds that never do, unless a folder is flagged (ext4, f2fs): asking
// their folders would only cost time.
constexpr std::array<std::uint32_t, 10> kCaseKeeping = {
    EXT4_SUPER_MAGIC,      TMPFS_MAGIC,      XFS_SUPER_MAGIC, BTRFS_SUPER_MAGIC,  F2FS_SUPER_MAGIC,
    OVERLAYFS_SUPER_MAGIC, PROC_SUPER_MAGIC, SYSFS_MAGIC,     DEVPTS_SUPER_MAGIC, RAMFS_MAGIC,
};
// FUSE file systems that ignore case, as the mount table names them: their
// type alone cannot tell them from others.
constexpr std::array<std::string_view, 2> kCaseBlindFuse = {"fuse.fusefat", "fuse.exfat"};
// How many entries of a folder are read to find one to ask about.
constexpr std::size_t kMostEntriesRead = 256;

template <std::size_t N>
bool OneOf(const std::array<std::uint32_t, N>& kinds, std::uint32_t kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

std::string SwappedCase(std::string_view name) {
    std::string swapped(name);
    for (char& c : swapped) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return swapped;
}

// Whether the folder finds an entry under its name with the case of its
// letters swapped, where no entry of that spelling was listed.
bool FindsOtherSpellings(int folder) {
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0) return false;
    DIR* dir = ::fdopendir(listed);
    if (dir == nullptr) {
        ::close(listed);
        return false;
    }
    std::vector<std::string> names;
    bool whole = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (names.size() == kMostEntriesRead) {
            whole = false;
            break;
        }
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string swapped = SwappedCase(name);
        if (swapped == name) continue;
        // Both spellings listed: two files, so case counts here.
        if (std::find(names.begin(), names.end(), swapped) != names.end()) return false;
        struct stat other {};
        if (::fstatat(folder, swapped.c_str(), &other, AT_SYMLINK_NOFOLLOW) != 0) return false;
        struct stat own {};
        // Unlisted but found: another spelling of the same entry, unless the
        // listing stopped short of it.
        if (whole || (::fstatat(folder, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                      own.st_dev == other.st_dev && own.st_ino == other.st_ino))
            return true;
    }
    return false;
}

// The type the mount table gives the file system of `device`
// ("fuse.fusefat"); empty when it is not found.
std::string MountType(dev_t device) {
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ':' + std::to_string(minor(device));
    // "36 35 98:0 /root /mnt options... - type source options"
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        const std::size_t dash = line.find(" - ");
        if (numbers != wanted || dash == std::string::npos) continue;
        std::istringstream rest(line.substr(dash + 3));
        std::string type;
        rest >> type;
        return type;
    }
    return {};
}

// A folder that holds nothing to ask about may still be on a FUSE file
// system whose mount says it ignores case.
bool OnCaseBlindFuse(int folder) {
    struct stat place {};
    if (::fstat(folder, &place) != 0) return false;
    const std::string type = MountType(place.st_dev);
    return std::find(kCaseBlindFuse.begin(), kCaseBlindFuse.end(), type) != kCaseBlindFuse.end();
}

bool IgnoresCase(const std::string& folder_path) {
    int folder = ::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) folder = ::open(folder_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    bool ignores = false;
    long flags = 0;
    struct statfs kind {};
    if (::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0) {
        ignores = true;
    } else if (file_seam::Calls().fstatfs(folder, &kind) == 0) {
        const auto type = static_cast<std::uint32_t>(kind.f_type);
        ignores =
            OneOf(kCaseBlind, type) ||
            (!OneOf(kCaseKeeping, type) && (FindsOtherSpellings(folder) ||
                                            (type == FUSE_SUPER_MAGIC && OnCaseBlindFuse(folder))));
    }
    ::close(folder);
    return ignores;
}

// Upper case, as file systems that ignore case compare names: ASCII
// everywhere, all of Unicode where the system has a UTF-8 locale to ask.
std::string Folded(std::string_view name) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = formats::Utf8SequenceLength(name, at);
        if (length == 0 || utf8 == locale_t{}) {
            const char c = name[at++];
            folded += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            continue;
        }
        const char32_t code = formats::DecodeUtf8(name, at, length);
        formats::AppendUtf8(folded,
                            static_cast<char32_t>(::towupper_l(static_cast<wint_t>(code), utf8)));
        at += length;
    }
    return folded;
}

std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return {};
    std::string result(real);
    std::free(real);
    return result;
}

using files::FolderOf;

std::string NameIn(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + '/' + name;
}

// Where a chain of links that ends nowhere leads: writing through the
// first link makes that file.
std::string EndOfLinks(std::string path) {
    for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) break;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0) break;
        target.resize(static_cast<std::size_t>(length));
        const auto slash = path.rfind('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return path;
}

std::string NumberOf(const struct stat& st) {
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
}

}  // namespace

std::string FileIdentity(const std::string& path) {
    struct stat file {};
    if (::stat(path.c_str(), &file) == 0) {
        if (S_ISREG(file.st_mode)) {
            const std::string real = RealPath(path);
            if (!real.empty() && IgnoresCase(FolderOf(real))) return "named " + Folded(real);
        }
        return "file " + NumberOf(file);
    }
    const std::string made = EndOfLinks(path);
    const auto slash = made.rfind('/');
    const std::string folder = FolderOf(made);
    const std::string name = slash == std::string::npos ? made : made.substr(slash + 1);
    struct stat place {};
    if (name.empty() || name == "." || name == ".." || ::stat(folder.c_str(), &place) != 0)
        return "path " + path;
    if (const std::string real = RealPath(folder); !real.empty() && IgnoresCase(real))
        return "named " + Folded(NameIn(real, name));
    return "entry " + NumberOf(place) + '/' + name;
}

// `path` with its links followed as the system follows them: the file it
// names, or the folder it would be made in and its name there. Empty when
// not even that folder is there.
static std::string ResolvedPath(const std::string& path) {
    if (std::string real = RealPath(path); !real.empty()) return real;
    const std::string made = EndOfLinks(path);
    const auto slash = made.rfind('/');
    const std::string folder = RealPath(FolderOf(made));
    if (folder.empty()) return {};
    return NameIn(folder, slash == std::string::npos ? made : made.substr(slash + 1));
}

bool FolderHolds(const std::string& folder, const std::string& path) {
    struct stat place {};
    if (::stat(folder.c_str(), &place) != 0 || !S_ISDIR(place.st_mode)) return false;
    std::string above = ResolvedPath(path);
    while (!above.empty() && above != "/") {
        above = FolderOf(above);
        struct stat entry {};
        if (::stat(above.c_str(), &entry) == 0 && entry.st_dev == place.st_dev &&
            entry.st_ino == place.st_ino)
            return true;
    }
    return false;
}

std::string StandardOutputIdentity() {
    struct stat out {};
    if (::fstat(STDOUT_FILENO, &out) != 0) return "standard output";
    // Through /proc the file's name is known too, which a file system that
    // ignores case needs.
    const std::string named = "/proc/self/fd/" + std::to_string(STDOUT_FILENO);
    struct stat there {};
    if (::stat(named.c_str(), &there) == 0 && there.st_dev == out.st_dev &&
        there.st_ino == out.st_ino)
        return FileIdentity(named);
    return "file " + NumberOf(out);
}

}  // namespace quarvo
