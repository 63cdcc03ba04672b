// SPDX-License-Identifier: MIT
// quarvo.exe's whole-profile window, opened from the File menu and driven
// through its controls' messages: placed as its table says, a profile
// given by hand with each kind's count, the ticked kinds exported into one
// folder while the window keeps handling its messages, the passwords file
// named but never copied.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "resource_ids.h"
#include "start_up.h"
#include "ui_driver.h"
#include "win32_test_folder.h"
#include "window_ids.h"
#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::testing {
namespace {

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ProfileExportUiTest : public Win32TestFolder {
  protected:
    void SetUp() override {
        Win32TestFolder::SetUp();
        win32::InitializeControls();
        windows_ = std::make_unique<win32::ProgramWindows>(desktop_);
        windows_->main().Show();
        PumpMessages(windows_->main().handle(), 300);
    }
    void TearDown() override {
        windows_.reset();
        Win32TestFolder::TearDown();
    }

    void InWindow(const std::function<void(HWND)>& steps) {
        HWND main = windows_->main().handle();
        bool ran = false;
        Script script({[&] {
            ASSERT_NE(windows_->profileExport(), nullptr);
            HWND window = windows_->profileExport()->handle();
            EXPECT_TRUE(IsWindowVisible(window));
            steps(window);
            ran = true;
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_PROFILE_EXPORT, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CLOSE_PROFILE_EXPORT)));
        }});
        SendMessageA(main, WM_COMMAND, ID_EXPORT_PROFILE, 0);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(ran);
        EXPECT_TRUE(IsWindowEnabled(main));
    }

    static void Press(HWND window, int id) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }
    static bool Ticked(HWND window, int id) {
        return SendMessageA(GetDlgItem(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    void Screenshot(HWND window, const std::string& name) {
        const char* folder = std::getenv("QUARVO_SCREENSHOTS");
        if (folder == nullptr || *folder == '\0') return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages(window, 300);
        EXPECT_TRUE(SaveScreenshot(window, std::string(folder) + "\\" + name + ".bmp")) << name;
    }

    win32::Win32Desktop desktop_;
    std::unique_ptr<win32::ProgramWindows> windows_;
};

RECT BoxIn(HWND window, HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

TEST_F(ProfileExportUiTest, ExportsTheTickedKindsOfAProfileGivenByHand) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const std::string profile = PathOf("Opera x64");
    CreateDirectoryA(profile.c_str(), nullptr);
    PutFile(profile + "\\bookmarks.adr",
            "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=a\r\n\tURL=http://a/\r\n");
    PutFile(profile + "\\contacts.adr",
            "Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=Ann\r\n");
    PutFile(profile + "\\wand.dat", "secret");
    InWindow([&](HWND window) {
        EXPECT_EQ(ControlText(window, IDC_PROFILE_LABEL), "Opera profile");
        SetWindowTextA(GetDlgItem(window, IDC_PROFILE_FOLDER), profile.c_str());
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PROFILE_FOLDER, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_PROFILE_FOLDER)));
        EXPECT_EQ(ControlText(window, IDC_PROFILE_KIND1),
                  "Bookmarks: 1 bookmarks, 0 folders, 0 in Opera's trash (left out)");
        EXPECT_EQ(ControlText(window, IDC_PROFILE_KIND1 + 2), "Notes: not found");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_PROFILE_KIND1 + 2)));
        EXPECT_EQ(ControlText(window, IDC_PROFILE_UNTOUCHED).rfind("Saved passwords (wand.dat)", 0),
                  0u);
        EXPECT_TRUE(Ticked(window, IDC_PROFILE_KIND1 + 1));
        Screenshot(window, "profile-export-window");

        // The contacts unticked, as a click does.
        SendMessageA(GetDlgItem(window, IDC_PROFILE_KIND1 + 1), BM_CLICK, 0, 0);
        EXPECT_FALSE(Ticked(window, IDC_PROFILE_KIND1 + 1));
        SetWindowTextA(GetDlgItem(window, IDC_PROFILE_TARGET), PathOf("out").c_str());
        Press(window, IDC_START_PROFILE_EXPORT);
        for (int i = 0; i < 600 && !IsWindowEnabled(GetDlgItem(window, IDC_OPEN_PROFILE_EXPORT));
             ++i)
            PumpMessages(window, 50);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_OPEN_PROFILE_EXPORT)));
        EXPECT_TRUE(exists(PathOf("out\\bookmarks.html")));
        EXPECT_TRUE(exists(PathOf("out\\report.html")));
        EXPECT_FALSE(exists(PathOf("out\\contacts.vcf")));
        EXPECT_FALSE(exists(PathOf("out\\wand.dat")));
        EXPECT_EQ(ControlText(window, IDC_PROFILE_REPORT)
                      .rfind("Bookmarks: bookmarks.html, bookmarks.json, Bookmarks\r\nContacts: "
                             "left out\r\n",
                             0),
                  0u)
            << ControlText(window, IDC_PROFILE_REPORT);
        Screenshot(window, "profile-export-done");

        if (dpi != 96) return;  // the tables' pixels are those of 96 dots per inch
        const layouts::Window& layout = layouts::kProfileExportWindow;
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, layout.client_width);
        EXPECT_EQ(client.bottom, layout.client_height);
        for (const win32::ControlId& id : win32::kProfileExportWindowIds) {
            SCOPED_TRACE(std::string(id.name));
            const layouts::Place& want = win32::FindControl(layout, id.name)->place;
            RECT box = BoxIn(window, GetDlgItem(window, id.id));
            if (id.browse) box.right = BoxIn(window, GetDlgItem(window, id.browse)).right;
            EXPECT_EQ(box.left, want.left);
            EXPECT_EQ(box.top, want.top);
            if (want.width != 0) {
                EXPECT_EQ(box.right - box.left, want.width);
            }
            if (want.height != 0 && id.id != IDC_PROFILE_LIST) {
                EXPECT_EQ(box.bottom - box.top, want.height);
            }
        }
    });
}

}  // namespace
}  // namespace quarvo::testing
