// SPDX-License-Identifier: MIT
// quarvo.exe's export window, opened from the File menu for Opera's notes
// and driven through its controls' messages: placed as its table says, the
// target following the chosen output, an export that writes what the
// converter writes while the window keeps handling its messages, names
// outside the code page written whole, and a cancel that leaves nothing.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "export_window_logic.h"
#include "notes_export_kind.h"
#include "quarvo/report/conversion_report.h"
#include "quarvo/conversions/notes_export.h"
#include "resource_ids.h"
#include "start_up.h"
#include "ui_driver.h"
#include "win32_test_folder.h"
#include "window_ids.h"
#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::testing {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A notes file of `notes` notes in a folder, the first titled in Cyrillic.
std::string NotesFile(int notes) {
    std::string text =
        "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
        "#FOLDER\r\n\tNAME=Work\r\n\r\n"
        "#NOTE\r\n\tNAME=\xD0\x97\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB0\r\n"
        "\tCREATED=1449469720\r\n\r\n";
    for (int i = 1; i < notes; ++i)
        text += "#NOTE\r\n\tNAME=Note " + std::to_string(i) +
                "\x02\x02line two\r\n\tCREATED=1449469720\r\n\r\n";
    return text + "-\r\n";
}

class ExportWindowUiTest : public Win32TestFolder {
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

    // Opens the window from the File menu and runs `steps` inside its modal
    // loop, then closes it.
    void InExportWindow(const std::function<void(HWND)>& steps) {
        HWND main = windows_->main().handle();
        bool ran = false;
        Script script({[&] {
            ASSERT_NE(windows_->notesExport(), nullptr);
            HWND window = windows_->notesExport()->handle();
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_FALSE(IsWindowEnabled(main));
            steps(window);
            ran = true;
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_EXPORT, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CLOSE_EXPORT)));
        }});
        SendMessageA(main, WM_COMMAND, ID_EXPORT_NOTES, 0);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(ran);
        EXPECT_FALSE(IsWindowVisible(windows_->notesExport()->handle()));
        EXPECT_TRUE(IsWindowEnabled(main));
    }

    static void SetText(HWND window, int id, const std::string& text) {
        SetWindowTextA(GetDlgItem(window, id), text.c_str());
    }
    static void Choose(HWND window, std::size_t choice) {
        HWND list = GetDlgItem(window, IDC_EXPORT_CHOICE);
        SendMessageA(list, CB_SETCURSEL, choice, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_CHOICE, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    static void Press(HWND window, int id) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }
    // Handles the window's messages until its export has ended.
    void WaitForTheEnd(HWND window) {
        for (int i = 0; i < 600 && windows_->notesExport()->logic().Running(); ++i)
            PumpMessages(window, 50);
        EXPECT_FALSE(windows_->notesExport()->logic().Running());
    }

    void Screenshot(HWND window, const std::string& name) {
        const std::string folder = environment("QUARVO_SCREENSHOTS");
        if (folder.empty()) return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(window, WM_NCPAINT, 1, 0);
        PumpMessages(window, 300);
        EXPECT_TRUE(SaveScreenshot(window, folder + "\\" + name + ".bmp")) << name;
    }

    win32::Win32Desktop desktop_;
    std::unique_ptr<win32::ProgramWindows> windows_;
};

// A control's box in its window's client area.
RECT BoxIn(HWND window, HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

TEST_F(ExportWindowUiTest, SitsAsItsTableSaysWithTheKindsTexts) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const ExportKind& kind = NotesExportKind();
    InExportWindow([&](HWND window) {
        char caption[256] = {};
        GetWindowTextA(window, caption, sizeof caption);
        EXPECT_EQ(std::string(caption), kind.caption);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_SOURCE_LABEL), kind.source_label);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_TARGET_LABEL), kind.target_label);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_OPTION2), kind.options[1].label);
        EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_EXPORT_CHOICE), CB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(kind.choices.size()));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_CANCEL_EXPORT)));
        Screenshot(window, "export-window");
        if (dpi != 96) return;  // the tables' pixels are those of 96 dots per inch
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, layouts::kExportWindow.client_width);
        EXPECT_EQ(client.bottom, layouts::kExportWindow.client_height);
        for (const win32::ControlId& id : win32::kExportWindowIds) {
            SCOPED_TRACE(std::string(id.name));
            const layouts::Place& want = win32::FindControl(layouts::kExportWindow, id.name)->place;
            RECT box = BoxIn(window, GetDlgItem(window, id.id));
            if (id.browse) box.right = BoxIn(window, GetDlgItem(window, id.browse)).right;
            EXPECT_EQ(box.left, want.left);
            EXPECT_EQ(box.top, want.top);
            if (want.width != 0) {
                EXPECT_EQ(box.right - box.left, want.width);
            }
            // A drop-down list's closed field is as high as its font makes it.
            if (want.height != 0 && id.id != IDC_EXPORT_CHOICE) {
                EXPECT_EQ(box.bottom - box.top, want.height);
            }
        }
    });
}

TEST_F(ExportWindowUiTest, ExportsWhatTheConverterWrites) {
    const std::string notes = PathOf("notes.adr");
    PutFile(notes, NotesFile(3));
    InExportWindow([&](HWND window) {
        SetText(window, IDC_EXPORT_SOURCE, notes);
        SetText(window, IDC_EXPORT_TARGET, PathOf("out"));
        Choose(window, 1);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_TARGET), PathOf("out.enex"));
        {
            MessageBoxCloser closer;
            Press(window, IDC_START_EXPORT);
            PumpMessages(window, 100);
            WaitForTheEnd(window);
            PumpMessages(window, 300);
            const auto boxes = closer.Boxes();
            ASSERT_EQ(boxes.size(), 1u) << (boxes.empty() ? "" : boxes.back().text);
            EXPECT_EQ(boxes[0].text.rfind(
                          "3 notes exported to " + PathOf("out.enex") + ":\nnotes: 3\n", 0),
                      0u)
                << boxes[0].text;
            EXPECT_EQ(ControlText(window, IDC_EXPORT_STATUS), "3 notes exported.");
            // The box gone, the export window is the active one again, not
            // the main window under it.
            EXPECT_EQ(GetActiveWindow(), window);
        }

        // A Markdown folder, its file named in Cyrillic, written whole.
        Choose(window, 0);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_TARGET), PathOf("out"));
        MessageBoxCloser second;
        Press(window, IDC_START_EXPORT);
        PumpMessages(window, 100);
        WaitForTheEnd(window);
        PumpMessages(window, 300);
        EXPECT_EQ(second.Boxes().size(), 1u);
        Screenshot(window, "export-window-done");
    });
    ConversionReport report;
    ASSERT_EQ(RunNotesExport({notes, PathOf("reference.enex")}, {NotesFormat::kEnex}, report).notes,
              3);
    EXPECT_EQ(FileBytes(PathOf("out.enex")), FileBytes(PathOf("reference.enex")));
    const std::wstring cyrillic =
        win32::Utf16("\xD0\x97\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB0.md");
    const std::wstring folder = win32::Utf16(PathOf("out"));
    const std::wstring file = folder + L"\\Work\\" + cyrillic;
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    // The test folder's removal goes through the code page, which has no
    // name for this file.
    DeleteFileW(file.c_str());
    RemoveDirectoryW((folder + L"\\Work").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(ExportWindowUiTest, CancelLeavesNothingWritten) {
    const std::string notes = PathOf("notes.adr");
    PutFile(notes, NotesFile(200000));
    InExportWindow([&](HWND window) {
        SetText(window, IDC_EXPORT_SOURCE, notes);
        SetText(window, IDC_EXPORT_TARGET, PathOf("out"));
        Choose(window, 0);
        MessageBoxCloser closer;
        Press(window, IDC_START_EXPORT);
        HWND bar = GetDlgItem(window, IDC_EXPORT_PROGRESS);
        for (int i = 0; i < 500 && SendMessageA(bar, PBM_GETPOS, 0, 0) == 0; ++i)
            PumpMessages(window, 20);
        ASSERT_TRUE(windows_->notesExport()->logic().Running())
            << "ended before it could be cancelled";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_CANCEL_EXPORT)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_START_EXPORT)));
        Screenshot(window, "export-window-running");
        Press(window, IDC_CANCEL_EXPORT);
        WaitForTheEnd(window);
        PumpMessages(window, 200);
        EXPECT_EQ(ControlText(window, IDC_EXPORT_STATUS), "Cancelled: nothing was written.");
        const auto boxes = closer.Boxes();
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    });
    EXPECT_FALSE(exists(PathOf("out")));
    EXPECT_EQ(Entries(), std::vector<std::string>{"notes.adr"});
}

}  // namespace
}  // namespace quarvo::testing
