// SPDX-License-Identifier: MIT
// quarvo.exe's export windows, opened from the File menu for Opera's notes
// and for its mail and driven through their controls' messages: placed as
// the table says, the target following the chosen output, an export that
// writes what the converter writes while the window keeps handling its
// messages, names outside the code page written whole, the question before
// a folder with files is replaced, and a cancel that leaves nothing.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export_window_logic.h"
#include "mail_export_kind.h"
#include "notes_export_kind.h"
#include "quarvo/conversions/mail_export.h"
#include "quarvo/conversions/notes_export.h"
#include "quarvo/report/conversion_report.h"
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

    // The export window the File menu's `command` opens; null before.
    win32::ExportWindow* Shown(int command) {
        return command == ID_EXPORT_MAIL ? windows_->mailExport() : windows_->notesExport();
    }

    // Opens the window from the File menu's `command` and runs `steps`
    // inside its modal loop, then closes it.
    void InExportWindow(const std::function<void(HWND)>& steps, int command = ID_EXPORT_NOTES) {
        HWND main = windows_->main().handle();
        bool ran = false;
        Script script({[&] {
            ASSERT_NE(Shown(command), nullptr);
            HWND window = Shown(command)->handle();
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_FALSE(IsWindowEnabled(main));
            steps(window);
            ran = true;
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_EXPORT, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CLOSE_EXPORT)));
        }});
        SendMessageA(main, WM_COMMAND, command, 0);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(ran);
        EXPECT_FALSE(IsWindowVisible(Shown(command)->handle()));
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
    void WaitForTheEnd(HWND window, int command = ID_EXPORT_NOTES) {
        for (int i = 0; i < 600 && Shown(command)->logic().Running(); ++i) PumpMessages(window, 50);
        EXPECT_FALSE(Shown(command)->logic().Running());
    }
    // Presses Start and handles the messages until the export has ended;
    // returns the boxes it showed, the first answered with `answer`, the
    // others with OK.
    std::vector<MessageBoxCloser::Box> Export(HWND window, int answer = IDOK) {
        MessageBoxCloser closer(answer);
        Press(window, IDC_START_EXPORT);
        for (int i = 0; i < 50 && closer.Boxes().empty(); ++i) PumpMessages(window, 10);
        closer.Answer(IDOK);
        WaitForTheEnd(window, ID_EXPORT_MAIL);
        PumpMessages(window, 300);
        return closer.Boxes();
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

// An Opera mail folder: two accounts with `per_account` messages each, one
// a file, the first of each with a line that starts with "From ".
void PutMailFolder(const std::string& folder, int per_account) {
    for (const std::string sub : {"", "\\store", "\\store\\account1", "\\store\\account2"})
        CreateDirectoryA((folder + sub).c_str(), nullptr);
    PutFile(folder + "\\accounts.ini",
            "Opera Preferences version 2.1\r\n\r\n[Account1]\r\nAccount Name=Home\r\n\r\n"
            "[Account2]\r\nAccount Name=Work\r\n");
    for (int account = 1; account <= 2; ++account) {
        for (int i = 0; i < per_account; ++i) {
            const std::string id = std::to_string(i);
            PutFile(folder + "\\store\\account" + std::to_string(account) + "\\" + id + ".mbs",
                    "From a@example.org Tue Jul 22 10:00:00 2014 " + id + "\r\nSubject: " + id +
                        "\r\nDate: Tue, 22 Jul 2014 10:00:00 +0200\r\n\r\nFrom here\r\n" +
                        std::string(200, 'x') + "\r\n");
        }
    }
}

// The names in `folder`, sorted.
std::vector<std::string> EntriesOf(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ExportWindowUiTest, TheMailsWindowHasItsKindsTextsAndBrowsesForFolders) {
    const ExportKind& kind = MailExportKind();
    // The File menu's item, after the notes' one.
    HMENU file = GetSubMenu(GetMenu(windows_->main().handle()), 0);
    wchar_t item[64] = {};
    GetMenuStringW(file, 2, item, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(item), win32::Utf16("Export Opera &mail\xE2\x80\xA6"));
    EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(ID_EXPORT_MAIL));
    InExportWindow(
        [&](HWND window) {
            char caption[256] = {};
            GetWindowTextA(window, caption, sizeof caption);
            EXPECT_EQ(std::string(caption), kind.caption);
            EXPECT_EQ(ControlText(window, IDC_EXPORT_SOURCE_LABEL), kind.source_label);
            EXPECT_EQ(ControlText(window, IDC_EXPORT_OPTION1), kind.options[0].label);
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_EXPORT_OPTION2)));
            EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_EXPORT_CHOICE), CB_GETCOUNT, 0, 0), 2);
            EXPECT_NE(ControlText(window, IDC_EXPORT_TARGET).find("Opera mail"), std::string::npos);
            Screenshot(window, "mail-export-window");
        },
        ID_EXPORT_MAIL);
    // The notes keep a window of their own.
    InExportWindow([&](HWND window) {
        EXPECT_EQ(ControlText(window, IDC_EXPORT_SOURCE_LABEL), NotesExportKind().source_label);
    });
}

TEST_F(ExportWindowUiTest, ExportsTheMailAsTheConverterDoesAndAsksBeforeReplacing) {
    const std::string mail = PathOf("mail");
    PutMailFolder(mail, 3);
    const std::string out = PathOf("out");
    InExportWindow(
        [&](HWND window) {
            SetText(window, IDC_EXPORT_SOURCE, mail);
            SetText(window, IDC_EXPORT_TARGET, out);
            auto boxes = Export(window);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text.rfind("6 messages in 2 mailboxes exported to " + out +
                                              ", the accounts' settings in accounts.html:\n",
                                          0),
                      0u)
                << boxes[0].text;
            EXPECT_EQ(ControlText(window, IDC_EXPORT_STATUS), "6 messages exported.");
            HWND bar = GetDlgItem(window, IDC_EXPORT_PROGRESS);
            EXPECT_GT(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
            EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0),
                      SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
            Screenshot(window, "mail-export-window-done");

            // A Maildir over the first export: kept when the user says No.
            Choose(window, 1);
            boxes = Export(window, IDNO);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, out +
                                         " already holds files.\n\nReplace the whole folder with "
                                         "the export? Everything in it now will be deleted.");
            EXPECT_EQ(EntriesOf(out),
                      (std::vector<std::string>{"Home.mbox", "Work.mbox", "accounts.html"}));
            boxes = Export(window, IDYES);
            EXPECT_EQ(boxes.size(), 2u);  // the question, then the result
        },
        ID_EXPORT_MAIL);
    EXPECT_EQ(EntriesOf(out), (std::vector<std::string>{"Home", "Work", "accounts.html"}));
    EXPECT_EQ(EntriesOf(out + "\\Home\\cur").size(), 3u);
    ConversionReport report;
    EXPECT_EQ(ExportOperaMail(mail, PathOf("reference"), {}, report).messages, 6u);
    MailExportOptions maildir;
    maildir.format = MailboxFormat::kMaildir;
    ExportOperaMail(mail, PathOf("maildir"), maildir, report);
    for (const std::string box : {"Home", "Work"}) {
        const std::vector<std::string> written = EntriesOf(out + "\\" + box + "\\cur");
        const std::vector<std::string> wanted = EntriesOf(PathOf("maildir\\" + box + "\\cur"));
        ASSERT_EQ(written.size(), wanted.size());
        for (std::size_t i = 0; i < written.size(); ++i)
            EXPECT_EQ(FileBytes(out + "\\" + box + "\\cur\\" + written[i]),
                      FileBytes(PathOf("maildir\\" + box + "\\cur\\" + wanted[i])));
    }
}

TEST_F(ExportWindowUiTest, CancellingTheMailLeavesNoFolderAndNoTemporary) {
    const std::string mail = PathOf("mail");
    PutMailFolder(mail, 1500);
    InExportWindow(
        [&](HWND window) {
            SetText(window, IDC_EXPORT_SOURCE, mail);
            SetText(window, IDC_EXPORT_TARGET, PathOf("out"));
            MessageBoxCloser closer;
            // Cancel is queued right behind Start: waiting for the bar to
            // move first let a busy machine's export of the 3000 messages
            // end before the press was handled.
            Press(window, IDC_START_EXPORT);
            Press(window, IDC_CANCEL_EXPORT);
            WaitForTheEnd(window, ID_EXPORT_MAIL);
            PumpMessages(window, 200);
            EXPECT_EQ(ControlText(window, IDC_EXPORT_STATUS), "Cancelled: nothing was written.");
            EXPECT_TRUE(closer.Boxes().empty());
        },
        ID_EXPORT_MAIL);
    EXPECT_EQ(Entries(), std::vector<std::string>{"mail"});
}

}  // namespace
}  // namespace quarvo::testing
