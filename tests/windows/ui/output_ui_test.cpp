// SPDX-License-Identifier: MIT
// quarvo.exe's main window on what it writes and how it shows it: one
// contacts format at a time in the Contacts output menu, with the output's
// extension and hint following it, the contacts written with '?' listed in a
// box that fits the screen, the progress bar shown a few dozen times a
// second however many entries a file has, and fields a screen reader names
// by their labels.
#include <oleacc.h>

#include <chrono>
#include <string>

#include "main_window_logic.h"
#include "program_fixture.h"
#include "window_ids.h"
#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::testing {
namespace {

// The menu's contacts choices that are ticked, by command.
std::vector<int> ticked(HMENU menu) {
    std::vector<int> ids;
    for (int id = ID_LAYOUT_WAB; id <= ID_ENCODING_ANSI; ++id)
        if (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) ids.push_back(id);
    return ids;
}

bool greyed(HMENU menu, int id) {
    return GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED;
}

BOOL CALLBACK find_tips(HWND window, LPARAM found) {
    char class_name[32] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, TOOLTIPS_CLASSA) == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The hint a tooltip window of the thread holds for `control`.
std::string hint_of(HWND owner, HWND control) {
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), find_tips, reinterpret_cast<LPARAM>(&tips));
    for (HWND tip : tips) {
        char text[1024] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = owner;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        if (text[0]) return text;
    }
    return {};
}

using OutputUiTest = MainWindowUiTest;

TEST_F(OutputUiTest, ContactsOutputMenuHoldsOneFormatAndTheOutputNameFollowsIt) {
    PutFile(PathOf("contacts.adr"), "Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=K\r\n");
    Start();
    HMENU menu = GetMenu(Main());
    SetText(IDC_OPERA_CONTACTS, PathOf("contacts.adr"));
    SetText(IDC_CONTACTS_OUTPUT, PathOf("mine.csv"));
    EXPECT_EQ(ticked(menu), (std::vector<int>{ID_LAYOUT_WAB, ID_ENCODING_UTF8}));
    EXPECT_TRUE(greyed(menu, ID_KEEP_CONTACTS_TRASH));

    SendMessageA(Main(), WM_COMMAND, ID_VCARD_21, 0);
    EXPECT_EQ(ticked(menu), (std::vector<int>{ID_VCARD_21, ID_ENCODING_UTF8}));
    EXPECT_EQ(Text(IDC_CONTACTS_OUTPUT), PathOf("mine.vcf"));
    EXPECT_FALSE(greyed(menu, ID_KEEP_CONTACTS_TRASH));
    EXPECT_NE(hint_of(Main(), Control(IDC_CONTACTS_OUTPUT)).find("vCard 2.1"), std::string::npos);
    SendMessageA(Main(), WM_COMMAND, ID_ENCODING_ANSI, 0);
    SendMessageA(Main(), WM_COMMAND, ID_VCARD_30, 0);
    EXPECT_EQ(ticked(menu), (std::vector<int>{ID_VCARD_30, ID_ENCODING_UTF8}));
    EXPECT_TRUE(greyed(menu, ID_ENCODING_ANSI));
    // Its picture, taken from inside the open menu's own loop.
    Script script(
        {[&] { Screenshot(Main(), "main-window-contacts-output-menu"); }, [] { EndMenu(); }});
    PostMessageA(Main(), WM_SYSCOMMAND, SC_KEYMENU, 'c');
    PumpMessages(Main(), 1500);
    EXPECT_TRUE(script.Done());

    // Typed: the name's end chooses the format, key by key.
    SetForegroundWindow(Main());
    SetFocus(Control(IDC_CONTACTS_OUTPUT));
    PressKeys({VK_END});
    PressKeys({VK_BACK});
    PumpMessages(Main(), 200);
    EXPECT_EQ(ticked(menu), (std::vector<int>{ID_LAYOUT_WAB, ID_ENCODING_UTF8}));
    // The tooltip gives back no more than 80 characters of a hint.
    EXPECT_NE(hint_of(Main(), Control(IDC_CONTACTS_OUTPUT)).find("Outlook-Exp"), std::string::npos);
    PressKeys({'F'});
    PumpMessages(Main(), 200);
    EXPECT_EQ(ticked(menu), (std::vector<int>{ID_VCARD_30, ID_ENCODING_UTF8}));
    EXPECT_EQ(Text(IDC_CONTACTS_OUTPUT), PathOf("mine.vcf"));

    const auto boxes = StartConversion();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ConversionResultMessage(1, 0, true));
    EXPECT_EQ(FileBytes(PathOf("mine.vcf")).rfind("BEGIN:VCARD\r\nVERSION:3.0\r\n", 0), 0u);
    EXPECT_FALSE(exists(PathOf("mine.csv")));
}

TEST_F(OutputUiTest, ContactsWrittenWithQuestionMarksAreListedInABoxThatFitsTheScreen) {
    std::string contacts =
        "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n";
    for (int i = 0; i < 1333; ++i)
        contacts += "#CONTACT\r\n\tNAME=\xC5\x81ukasz " + std::to_string(i) + "\r\n\r\n";
    PutFile(PathOf("contacts.adr"), contacts);
    Start();
    SetText(IDC_OPERA_CONTACTS, PathOf("contacts.adr"));
    SetText(IDC_OPERA_BOOKMARKS, "");
    SetText(IDC_CONTACTS_OUTPUT, PathOf("ansi.csv"));
    SendMessageA(Main(), WM_COMMAND, ID_ENCODING_ANSI, 0);
    const auto boxes = StartConversion();
    ASSERT_EQ(boxes.size(), 2u);
    const MessageBoxCloser::Box& report = boxes[1];
    EXPECT_EQ(report.text, ReplacedCharactersMessage(1333));
    EXPECT_EQ(std::count(report.details.begin(), report.details.end(), L'\n'), 1333);
    EXPECT_NE(report.details.find(L"\u0141ukasz 1332: '\u0141' (U+0141)"), std::wstring::npos);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(report.frame.top, work.top);
    EXPECT_LE(report.frame.bottom, work.bottom)
        << "the box's height: " << report.frame.bottom - report.frame.top;
    EXPECT_GE(report.frame.left, work.left);
    EXPECT_LE(report.frame.right, work.right);
    EXPECT_GT(report.ok.right, report.ok.left);
    EXPECT_LE(report.ok.bottom, report.frame.bottom) << "its OK button on the screen";

    // Its picture, shown again as the conversion showed it.
    bool pictured = false;
    // A dialog box shows itself once its loop has nothing to do: the first
    // tick comes before that.
    Script script({[] {},
                   [&] {
                       HWND box = GetActiveWindow();
                       pictured = GetDlgItem(box, IDC_REPORT_LIST) != nullptr;
                       Screenshot(box, "report-box");
                       PostMessageA(box, WM_COMMAND, IDOK, 0);
                   }});
    desktop_.ShowReport(report.text, ReplacedCharactersList(std::vector<std::string>(
                                         1333, "\xC5\x81ukasz: '\xC5\x81' (U+0141)")));
    EXPECT_TRUE(pictured);
}

LRESULT CALLBACK count_positions(HWND bar, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                 DWORD_PTR shown) {
    if (message == PBM_SETPOS || message == PBM_STEPIT || message == PBM_DELTAPOS)
        ++*reinterpret_cast<int*>(shown);
    return DefSubclassProc(bar, message, w, l);
}

TEST_F(OutputUiTest, TheProgressBarShowsItsPositionAFewDozenTimesASecond) {
    std::string hotlist =
        "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n";
    for (int i = 0; i < 100000; ++i)
        hotlist += "#URL\r\n\tNAME=Page " + std::to_string(i) + "\r\n\tURL=http://example.org/" +
                   std::to_string(i) + "\r\n\r\n";
    PutFile(PathOf("opera6.adr"), hotlist);
    Start();
    SetText(IDC_OPERA_CONTACTS, "");
    SetText(IDC_OPERA_BOOKMARKS, PathOf("opera6.adr"));
    SetText(IDC_BOOKMARKS_OUTPUT, PathOf("bookmark.htm"));
    int shown = 0;
    SetWindowSubclass(Control(IDC_PROGRESS), count_positions, 1,
                      reinterpret_cast<DWORD_PTR>(&shown));
    const auto started = std::chrono::steady_clock::now();
    const auto boxes = StartConversion();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();
    RemoveWindowSubclass(Control(IDC_PROGRESS), count_positions, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ConversionResultMessage(0, 100000));
    // A few dozen a second, and one as the bar is hidden at the end.
    EXPECT_LE(shown, took / 30 + 3) << took << " ms";
    EXPECT_LT(took, 5000);
}

// Each field's label comes right before it, which is how Windows' screen
// readers name a field; a browse button's caption, behind its picture,
// names it.
TEST_F(OutputUiTest, FieldsAreNamedByTheirLabels) {
    Start();
    const struct {
        int label, edit, browse;
        const char* label_name;
    } fields[] = {
        {IDC_CONTACTS_LABEL, IDC_OPERA_CONTACTS, IDC_BROWSE_OPERA_CONTACTS,
         "lblOpercaContactsFile"},
        {IDC_BOOKMARKS_LABEL, IDC_OPERA_BOOKMARKS, IDC_BROWSE_OPERA_BOOKMARKS, "Label2"},
        {IDC_CONTACTS_OUTPUT_LABEL, IDC_CONTACTS_OUTPUT, IDC_BROWSE_CONTACTS_OUTPUT, "Label3"},
        {IDC_BOOKMARKS_OUTPUT_LABEL, IDC_BOOKMARKS_OUTPUT, IDC_BROWSE_BOOKMARKS_OUTPUT, "Label4"},
    };
    CoInitialize(nullptr);
    for (const auto& f : fields) {
        const std::string label(win32::FindControl(layouts::kMainWindow, f.label_name)->text);
        SCOPED_TRACE(label);
        EXPECT_EQ(GetWindow(Control(f.edit), GW_HWNDPREV), Control(f.label));
        EXPECT_EQ(Text(f.label), label);
        EXPECT_EQ(Text(f.browse), "Browse for the " + label);
        // What the system's accessibility layer makes of it, where it has one.
        IAccessible* accessible = nullptr;
        if (AccessibleObjectFromWindow(Control(f.edit), static_cast<DWORD>(OBJID_CLIENT),
                                       IID_IAccessible,
                                       reinterpret_cast<void**>(&accessible)) == S_OK) {
            VARIANT self;
            VariantInit(&self);
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            if (accessible->get_accName(self, &name) == S_OK && name) {
                EXPECT_EQ(win32::Utf8(name), label);
                SysFreeString(name);
            }
            accessible->Release();
        }
    }
    CoUninitialize();
}

// Runs this test program's `test` in a process of its own while the
// system's dots per inch are `dpi`, which a process takes when it starts;
// returns the process's exit status.
DWORD run_at_dpi(const char* test, DWORD dpi) {
    HKEY desktop = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &desktop, nullptr);
    DWORD before = 0, size = sizeof before;
    const bool had = RegQueryValueExA(desktop, "LogPixels", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&before), &size) == ERROR_SUCCESS;
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --gtest_brief=1 --gtest_filter=" + test;
    SetEnvironmentVariableA("QUARVO_DPI_CHILD", std::to_string(dpi).c_str());
    // On this process's desktop, where the pictures are taken.
    char desktop_name[256] = {};
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop_name,
                              sizeof desktop_name, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop_name;
    PROCESS_INFORMATION process{};
    DWORD status = 1;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableA("QUARVO_DPI_CHILD", nullptr);
    if (had) {
        RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before),
                       sizeof before);
    } else {
        RegDeleteValueA(desktop, "LogPixels");
    }
    RegCloseKey(desktop);
    return status;
}

// At 192 dots per inch the pictures, glyphs and labels grow with the
// layout: nothing stays at its 96-dot size, and no text is cut.
TEST_F(OutputUiTest, PicturesFollowTheScreensDotsPerInch) {
    const std::string child = environment("QUARVO_DPI_CHILD");
    if (child.empty()) {
        EXPECT_EQ(run_at_dpi("OutputUiTest.PicturesFollowTheScreensDotsPerInch", 192), 0u);
        return;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != std::stoi(child)) GTEST_SKIP() << "the system kept " << dpi << " dots per inch";
    PutFile(PathOf("contacts.adr"), "#CONTACT\r\n\tNAME=K\r\n");
    Start();
    SetText(IDC_OPERA_CONTACTS, PathOf("contacts.adr"));
    const int scale = dpi / 96;
    HIMAGELIST glyphs =
        reinterpret_cast<HIMAGELIST>(SendMessageA(Control(IDC_TOOLBAR), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(win32::PictureSize(glyphs), 16 * scale);
    BITMAP logo{};
    GetObjectA(
        reinterpret_cast<HBITMAP>(SendMessageA(Control(IDC_LOGO), STM_GETIMAGE, IMAGE_BITMAP, 0)),
        sizeof logo, &logo);
    EXPECT_EQ(logo.bmWidth, 105 * scale);
    HWND viewer_bar = GetDlgItem(windows_->viewer().handle(), IDC_TOOLBAR);
    EXPECT_EQ(win32::PictureSize(
                  reinterpret_cast<HIMAGELIST>(SendMessageA(viewer_bar, TB_GETIMAGELIST, 0, 0))),
              16 * scale);
    // Twice the size does not fit a small screen: the pictures show the
    // windows from their top left corners.
    SetWindowPos(Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Screenshot(Main(), "main-window-" + child + "dpi");
    Script script({[] {},
                   [&] {
                       SetWindowPos(windows_->viewer().handle(), nullptr, 0, 0, 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER);
                       Screenshot(windows_->viewer().handle(), "file-viewer-" + child + "dpi");
                       windows_->viewer().Close();
                   }});
    SendMessageA(Main(), WM_COMMAND, ID_OPEN_CONTACTS, 0);
}

}  // namespace
}  // namespace quarvo::testing
