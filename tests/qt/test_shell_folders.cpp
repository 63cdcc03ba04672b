// SPDX-License-Identifier: MIT
// The Linux folder lookup: the separator rule, the kinds without a folder,
// the fixed machine folders and the XDG user folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "shell_folders.h"

namespace {

using quarvo::GetShellFolderPath;

// Sets environment variables for one test and puts the old values back.
class Environment {
  public:
    void set(const char* name, const std::string& value) {
        remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    void unset(const char* name) {
        remember(name);
        ::unsetenv(name);
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

  private:
    void remember(const char* name) {
        if (saved_.count(name)) return;
        const char* value = std::getenv(name);
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

class ShellFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        home_ = dir_.filePath(QStringLiteral("home")).toStdString();
        config_ = dir_.filePath(QStringLiteral("config")).toStdString();
        QDir().mkpath(QString::fromStdString(home_));
        QDir().mkpath(QString::fromStdString(config_));
        env_.set("HOME", home_);
        env_.set("XDG_CONFIG_HOME", config_);
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"}) env_.unset(name);
    }

    void writeUserDirs(const QByteArray& text) {
        QFile file(QString::fromStdString(config_ + "/user-dirs.dirs"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir_;
    Environment env_;
    std::string home_;
    std::string config_;
};

TEST_F(ShellFolders, KindsPastTheTableHaveNoFolder) {
    for (int kind : {27, 28, 100, 254, 255})
        EXPECT_EQ(GetShellFolderPath(static_cast<std::uint8_t>(kind)), "") << "kind " << kind;
}

TEST_F(ShellFolders, EveryFolderEndsInExactlyOneSeparator) {
    for (int kind = 0; kind < 27; ++kind) {
        const std::string path = GetShellFolderPath(static_cast<std::uint8_t>(kind));
        if (path.empty()) continue;
        EXPECT_EQ(path.back(), '/') << "kind " << kind;
        EXPECT_TRUE(path == "/" || path[path.size() - 2] != '/') << "kind " << kind << ": " << path;
        EXPECT_EQ(path.front(), '/') << "kind " << kind << " is not absolute: " << path;
    }
}

TEST_F(ShellFolders, SeparatorRuleLeavesEmptyAndTerminatedPathsAlone) {
    EXPECT_EQ(quarvo::WithTrailingSeparator(""), "");
    EXPECT_EQ(quarvo::WithTrailingSeparator("/opt"), "/opt/");
    EXPECT_EQ(quarvo::WithTrailingSeparator("/opt/"), "/opt/");
    EXPECT_EQ(quarvo::WithTrailingSeparator("/"), "/");
}

TEST_F(ShellFolders, SystemDriveIsTheRootAlone) {
    EXPECT_EQ(GetShellFolderPath(20), "/");
}

TEST_F(ShellFolders, ProgramFilesIsOpt) {
    EXPECT_EQ(GetShellFolderPath(quarvo::kProgramFilesFolder), "/opt/");
}

TEST_F(ShellFolders, TempFolderFollowsTmpdirWithOneSeparator) {
    EXPECT_EQ(GetShellFolderPath(19), "/tmp/");
    env_.set("TMPDIR", "/var/tmp/quarvo");
    EXPECT_EQ(GetShellFolderPath(19), "/var/tmp/quarvo/");
    env_.set("TMPDIR", "/var/tmp/quarvo/");
    EXPECT_EQ(GetShellFolderPath(19), "/var/tmp/quarvo/");
    env_.set("TMPDIR", "relative/tmp");
    EXPECT_EQ(GetShellFolderPath(19), "/tmp/");
}

TEST_F(ShellFolders, ShellLinkFoldersHaveNoLinuxCounterpart) {
    for (int kind : {7, 8, 9, 11, 12, 13, 14, 24})
        EXPECT_EQ(GetShellFolderPath(static_cast<std::uint8_t>(kind)), "") << "kind " << kind;
}

TEST_F(ShellFolders, DocumentsComeFromTheUserDirsFile) {
    writeUserDirs(
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
        "XDG_TEMPLATES_DIR=\"/srv/vorlagen\"\n");
    EXPECT_EQ(GetShellFolderPath(quarvo::kPersonalFolder), home_ + "/Dokumente/");
    EXPECT_EQ(GetShellFolderPath(0), home_ + "/Schreibtisch/");
    EXPECT_EQ(GetShellFolderPath(15), "/srv/vorlagen/");
}

TEST_F(ShellFolders, UserDirsFileReadsLikeTheShellSourcesIt) {
    writeUserDirs(
        "#XDG_DOCUMENTS_DIR=\"$HOME/commented\"\n"
        "XDG_DOCUMENTS_DIR_OLD=\"$HOME/other key\"\n"
        "  XDG_DOCUMENTS_DIR=\"$HOME/first\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n"
        "XDG_DESKTOP_DIR=\"relative/is/ignored\"\n");
    EXPECT_EQ(GetShellFolderPath(quarvo::kPersonalFolder), home_ + "/My Documents/");
    EXPECT_EQ(GetShellFolderPath(0), home_ + "/Desktop/");
}

TEST_F(ShellFolders, UnsetUserFoldersFallBackBelowHome) {
    EXPECT_EQ(GetShellFolderPath(quarvo::kPersonalFolder), home_ + "/");
    EXPECT_EQ(GetShellFolderPath(0), home_ + "/Desktop/");
    EXPECT_EQ(GetShellFolderPath(15), home_ + "/Templates/");
}

TEST_F(ShellFolders, WithoutHomeTheUserFoldersAreUnknown) {
    env_.unset("HOME");
    env_.unset("XDG_CONFIG_HOME");
    EXPECT_EQ(GetShellFolderPath(quarvo::kPersonalFolder), "");
    EXPECT_EQ(GetShellFolderPath(5), "");
    EXPECT_EQ(GetShellFolderPath(21), "/opt/");
}

TEST_F(ShellFolders, BaseDirectoriesFollowTheirVariables) {
    EXPECT_EQ(GetShellFolderPath(5), config_ + "/");
    EXPECT_EQ(GetShellFolderPath(3), config_ + "/autostart/");
    EXPECT_EQ(GetShellFolderPath(16), home_ + "/.local/share/");
    EXPECT_EQ(GetShellFolderPath(10), home_ + "/.cache/");
    env_.set("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(GetShellFolderPath(16), "/srv/data/");
    EXPECT_EQ(GetShellFolderPath(6), "/srv/data/fonts/");
    env_.set("XDG_CACHE_HOME", "not/absolute");
    EXPECT_EQ(GetShellFolderPath(10), home_ + "/.cache/");
}

}  // namespace
