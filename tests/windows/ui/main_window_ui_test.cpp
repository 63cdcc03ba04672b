// SPDX-License-Identifier: MIT
// quarvo.exe's windows under Windows (or Wine with a display), driven
// through their controls' messages as a user drives them: the default names
// the registry's folders give, the recount at each typed key, Start
// conversion writing what the Linux converter writes, with its messages,
// the viewer saving what it loaded, and help and about opening and closing.
// QUARVO_CORPUS_DIR and QUARVO_LINUX_OUTPUTS name the Opera files and the
// Linux converter's outputs for them (the Windows step makes them);
// QUARVO_SCREENSHOTS, where the windows' pictures go.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "main_window_logic.h"
#include "program_fixture.h"
#include "quarvo/conversions/conversion_run.h"
#include "resource_ids.h"
#include "shell_folders.h"
#include "start_up.h"
#include "ui_driver.h"
#include "win32_test_folder.h"
#include "window_ids.h"
#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::testing {
namespace {

// Removes the Opera profile a test put below Program Files.
struct ProfileRemover {
    std::string opera;
    ~ProfileRemover() {
        DeleteFileA((opera + "\\profile\\contacts.adr").c_str());
        DeleteFileA((opera + "\\profile\\opera6.adr").c_str());
        RemoveDirectoryA((opera + "\\profile").c_str());
        RemoveDirectoryA(opera.c_str());
    }
};

TEST_F(MainWindowUiTest, DefaultNamesComeFromTheFoldersOfTheRegistry) {
    const std::string program_files = GetShellFolderPath(kProgramFilesFolder);
    const std::string documents = GetShellFolderPath(kPersonalFolder);
    ASSERT_NE(program_files.find(' '), std::string::npos) << "expected a blank: " << program_files;
    const std::string opera = program_files + "Opera";
    if (exists(opera)) GTEST_SKIP() << opera << " exists already and is left alone";

    Start();
    EXPECT_EQ(Text(IDC_OPERA_CONTACTS), "");
    EXPECT_EQ(Text(IDC_OPERA_BOOKMARKS), "");
    EXPECT_EQ(Text(IDC_CONTACTS_OUTPUT), documents + "contacts.csv");
    EXPECT_EQ(Text(IDC_BOOKMARKS_OUTPUT), documents + "bookmark.htm");
    EXPECT_EQ(Panel(3), "Status: Choose Opera Filnames");
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_START_CONVERSION)));
    windows_.reset();

    const ProfileRemover remover{opera};
    ASSERT_TRUE(CreateDirectoryA(opera.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((opera + "\\profile").c_str(), nullptr));
    PutFile(opera + "\\profile\\contacts.adr", "#CONTACT\r\nNAME=a\r\n\r\n#CONTACT\r\nNAME=b\r\n");
    PutFile(opera + "\\profile\\opera6.adr",
            "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=x\r\n");
    Start();
    // Program Files has a blank in its name, so the fields quote the names.
    EXPECT_EQ(Text(IDC_OPERA_CONTACTS), '"' + opera + "\\profile\\contacts.adr\"");
    EXPECT_EQ(Text(IDC_OPERA_BOOKMARKS), '"' + opera + "\\profile\\opera6.adr\"");
    EXPECT_EQ(Panel(1), "# Bookmarks: 1");
    EXPECT_EQ(Panel(2), "# Contacts: 2");
    EXPECT_EQ(Panel(3), "Status: Ready to convert");
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_START_CONVERSION)));
    Screenshot(Main(), "main-window");
}

// Every Opera that wrote these files was a 32-bit program: on 64-bit
// Windows its profile lies under the 32-bit programs' folder.
TEST_F(MainWindowUiTest, DefaultNamesFindOperaAmongThe32BitPrograms) {
    const std::string x86 = environment("ProgramFiles(x86)");
    const std::string program_files = GetShellFolderPath(kProgramFilesFolder);
    if (x86.empty() || lstrcmpiA((x86 + "\\").c_str(), program_files.c_str()) == 0)
        GTEST_SKIP() << "Program Files is the 32-bit programs' folder here";
    const std::string opera = x86 + "\\Opera";
    if (exists(opera) || exists(program_files + "Opera")) GTEST_SKIP() << "an Opera folder exists";
    const ProfileRemover remover{opera};
    ASSERT_TRUE(CreateDirectoryA(opera.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((opera + "\\profile").c_str(), nullptr));
    PutFile(opera + "\\profile\\contacts.adr", "#CONTACT\r\nNAME=a\r\n");
    Start();
    EXPECT_EQ(Text(IDC_OPERA_CONTACTS), '"' + opera + "\\profile\\contacts.adr\"");
    EXPECT_EQ(Panel(2), "# Contacts: 1");
}

TEST_F(MainWindowUiTest, TypingAnInputNameRecountsAtEachKey) {
    const std::string name = PathOf("typed.adr");
    PutFile(name, "#CONTACT\r\n#CONTACT\r\n#CONTACT\r\n");
    Start();
    SetText(IDC_OPERA_BOOKMARKS, "");
    SetText(IDC_OPERA_CONTACTS, "");
    SetFocus(Control(IDC_OPERA_CONTACTS));
    for (std::size_t i = 0; i < name.size(); ++i) {
        PostMessageA(Control(IDC_OPERA_CONTACTS), WM_CHAR, static_cast<unsigned char>(name[i]), 1);
        PumpMessages(Main(), 0);
        if (i + 2 == name.size()) {
            EXPECT_EQ(Panel(2), "# Contacts: 0");
            EXPECT_EQ(Panel(3), "Status: Choose Opera Filnames");
        }
    }
    EXPECT_EQ(Text(IDC_OPERA_CONTACTS), name);
    EXPECT_EQ(Panel(2), "# Contacts: 3");
    EXPECT_EQ(Panel(3), "Status: Ready to convert");
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_START_CONVERSION)));
}

// The counts quarvo-convert printed, one line each, the number first:
// contacts, then bookmarks unless the hotlist's version was refused.
std::vector<std::int32_t> linux_counts(const std::string& file_name) {
    std::ifstream file(file_name);
    std::vector<std::int32_t> counts;
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) counts.push_back(std::stoi(line));
    return counts;
}

TEST_F(MainWindowUiTest, StartConversionWritesWhatTheLinuxConverterWrites) {
    const std::string corpus = environment("QUARVO_CORPUS_DIR");
    const std::string linux = environment("QUARVO_LINUX_OUTPUTS");
    if (corpus.empty() || linux.empty()) GTEST_SKIP() << "no corpus and Linux outputs given";
    Start();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "\\*.adr").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << corpus;
    int compared = 0;
    do {
        const std::string name = found.cFileName;
        SCOPED_TRACE(name);
        const std::vector<std::int32_t> counts = linux_counts(linux + "\\" + name + ".counts");
        ASSERT_FALSE(counts.empty());
        // As the Linux run had it: the one file is both inputs.
        SetText(IDC_OPERA_CONTACTS, corpus + "\\" + name);
        SetText(IDC_OPERA_BOOKMARKS, corpus + "\\" + name);
        SetText(IDC_CONTACTS_OUTPUT, PathOf(name + ".csv"));
        SetText(IDC_BOOKMARKS_OUTPUT, PathOf(name + ".htm"));
        const auto boxes = StartConversion();
        const bool refused = counts.size() == 1;
        ASSERT_EQ(boxes.size(), refused ? 2u : 1u);
        EXPECT_EQ(boxes.back().caption, "Quarvo");
        EXPECT_EQ(boxes.back().text, ConversionResultMessage(counts[0], refused ? -1 : counts[1]));
        EXPECT_EQ(FileBytes(PathOf(name + ".csv")), FileBytes(linux + "\\" + name + ".csv"));
        EXPECT_EQ(exists(PathOf(name + ".htm")), !refused);
        if (!refused) {
            EXPECT_EQ(FileBytes(PathOf(name + ".htm")), FileBytes(linux + "\\" + name + ".htm"));
        }
        EXPECT_FALSE(IsWindowVisible(Control(IDC_PROGRESS)));
        ++compared;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_GT(compared, 0);
}

TEST_F(MainWindowUiTest, AnotherHotlistVersionShowsItsMessageBeforeTheResult) {
    const std::string hotlist = PathOf("version3.adr");
    PutFile(hotlist, "Opera Hotlist version 3.0\r\n\r\n#URL\r\n\tNAME=x\r\n");
    std::string refusal;
    (void)RunBookmarksConversion({hotlist, PathOf("reference.htm")}, {},
                                 [&](std::string_view message) { refusal = message; });
    ASSERT_FALSE(refusal.empty());
    Start();
    SetText(IDC_OPERA_CONTACTS, "");
    SetText(IDC_OPERA_BOOKMARKS, hotlist);
    SetText(IDC_BOOKMARKS_OUTPUT, PathOf("bookmark.htm"));
    const auto boxes = StartConversion();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, refusal);
    EXPECT_EQ(boxes[1].text, ConversionResultMessage(0, -1));
    EXPECT_FALSE(exists(PathOf("bookmark.htm")));
}

// The output menus' choices reach the conversion: the browser flavour with
// the Speed Dial beside the hotlist, and a vCard version, chosen as the menu
// sends them.
TEST_F(MainWindowUiTest, OutputMenusChooseTheFilesWritten) {
    PutFile(PathOf("contacts.adr"), "Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME=K\r\n");
    PutFile(PathOf("opera6.adr"),
            "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=x\r\n\tURL=http://x/\r\n");
    Start();
    HMENU menu = GetMenu(Main());
    // The Bookmarks output menu's items in order, as the Qt menu has them,
    // and which of them each flavour offers.
    const struct {
        UINT id;  // 0 for a separator
        const char* text;
    } items[] = {
        {ID_INTERNET_EXPLORER_FLAVOUR, "&Internet Explorer file"},
        {ID_BROWSER_FLAVOUR, "&Firefox and Chromium file"},
        {ID_FIREFOX_BACKUP_FLAVOUR, "Firefox &backup (JSON)"},
        {ID_CHROMIUM_FLAVOUR, "&Chromium Bookmarks file"},
        {0, ""},
        {ID_KEEP_BOOKMARKS_TRASH, "Keep Opera's &trash"},
        {ID_INCLUDE_OPERA_LINKS, "Include Speed Dial, sessions and search &engines"},
        {0, ""},
        {ID_CONVERSION_DETAILS, "Conversion &details..."},
    };
    HMENU bookmarks_menu = GetSubMenu(menu, 4);
    ASSERT_EQ(GetMenuItemCount(bookmarks_menu), static_cast<int>(std::size(items)));
    for (int i = 0; i < static_cast<int>(std::size(items)); ++i) {
        char text[128] = {};
        GetMenuStringA(bookmarks_menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(bookmarks_menu, i), items[i].id) << i;
        EXPECT_EQ(std::string(text), items[i].text);
    }
    const auto expect_offered = [menu](bool offered, UINT flavour) {
        EXPECT_TRUE(GetMenuState(menu, flavour, MF_BYCOMMAND) & MF_CHECKED) << flavour;
        for (const UINT item : {ID_KEEP_BOOKMARKS_TRASH, ID_INCLUDE_OPERA_LINKS})
            EXPECT_EQ(!(GetMenuState(menu, item, MF_BYCOMMAND) & MF_GRAYED), offered)
                << flavour << " " << item;
    };
    expect_offered(false, ID_INTERNET_EXPLORER_FLAVOUR);  // at start
    const struct {
        UINT flavour;
        bool offered;
    } flavours[] = {{ID_FIREFOX_BACKUP_FLAVOUR, true},
                    {ID_INTERNET_EXPLORER_FLAVOUR, false},
                    {ID_CHROMIUM_FLAVOUR, true},
                    {ID_BROWSER_FLAVOUR, true}};
    for (const auto& f : flavours) {
        SendMessageA(Main(), WM_COMMAND, f.flavour, 0);
        expect_offered(f.offered, f.flavour);
    }
    EXPECT_FALSE(GetMenuState(menu, ID_INCLUDE_OPERA_LINKS, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(Main(), WM_COMMAND, ID_INCLUDE_OPERA_LINKS, 0);
    EXPECT_TRUE(GetMenuState(menu, ID_INCLUDE_OPERA_LINKS, MF_BYCOMMAND) & MF_CHECKED);
    PutFile(PathOf("speeddial.ini"),
            "Opera Preferences version 2.1\r\n\r\n"
            "[Speed Dial 1]\r\nTitle=Dial\r\nUrl=http://dial.example/\r\n");
    SendMessageA(Main(), WM_COMMAND, ID_VCARD_21, 0);
    EXPECT_TRUE(GetMenuState(menu, ID_VCARD_21, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, ID_VCARD_30, MF_BYCOMMAND) & MF_CHECKED);
    SetText(IDC_OPERA_CONTACTS, PathOf("contacts.adr"));
    SetText(IDC_OPERA_BOOKMARKS, PathOf("opera6.adr"));
    SetText(IDC_CONTACTS_OUTPUT, PathOf("contacts.vcf"));
    SetText(IDC_BOOKMARKS_OUTPUT, PathOf("bookmarks.htm"));
    EXPECT_EQ(StartConversion().size(), 1u);
    EXPECT_EQ(FileBytes(PathOf("contacts.vcf")).rfind("BEGIN:VCARD\r\nVERSION:2.1\r\n", 0), 0u);
    EXPECT_EQ(FileBytes(PathOf("bookmarks.htm"))
                  .rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                         "<!-- This is an automatically generated file.\r\n     It will",
                         0),
              0u);
    EXPECT_NE(FileBytes(PathOf("bookmarks.htm")).find("http://dial.example/"), std::string::npos)
        << "the Speed Dial beside the hotlist";
    SendMessageA(Main(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(bookmarks_menu), 4);
    EXPECT_FALSE(GetMenuState(menu, ID_CONVERSION_DETAILS, MF_BYCOMMAND) & MF_GRAYED);
    // Its picture, taken from inside the open menu's own loop.
    Script script(
        {[&] { Screenshot(Main(), "main-window-bookmarks-output-menu"); }, [] { EndMenu(); }});
    PostMessageA(Main(), WM_SYSCOMMAND, SC_KEYMENU, 'k');
    PumpMessages(Main(), 1500);
    EXPECT_TRUE(script.Done());
}

// A control's box in its window's client area.
RECT box_in(HWND window, HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

std::string shown_text(HWND control) {
    std::string text = ControlText(GetParent(control), GetDlgCtrlID(control));
    // A label without SS_NOPREFIX shows a doubled ampersand as one.
    char class_name[16] = {};
    GetClassNameA(control, class_name, sizeof class_name);
    if (std::string_view(class_name) == "Static" &&
        !(GetWindowLongPtrA(control, GWL_STYLE) & SS_NOPREFIX)) {
        for (std::size_t at = text.find("&&"); at != std::string::npos;
             at = text.find("&&", at + 1))
            text.erase(at, 1);
    }
    return text;
}

void expect_layout(HWND window, const layouts::Window& layout,
                   std::span<const win32::ControlId> ids) {
    SCOPED_TRACE(std::string(layout.name));
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_EQ(std::string(caption), layout.caption);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, layout.client_width);
    EXPECT_EQ(client.bottom, layout.client_height);
    for (const win32::ControlId& id : ids) {
        SCOPED_TRACE(std::string(id.name));
        const layouts::Control* want = win32::FindControl(layout, id.name);
        ASSERT_NE(want, nullptr);
        RECT box = box_in(window, GetDlgItem(window, id.id));
        if (id.browse) box.right = box_in(window, GetDlgItem(window, id.browse)).right;
        const layouts::Place& p = want->place;
        EXPECT_EQ(box.left, p.left);
        if (want->kind == layouts::Bevel) {
            EXPECT_EQ(box.bottom, p.top + p.height);
        } else {
            EXPECT_EQ(box.top, p.top);
        }
        if (p.width != 0) {
            EXPECT_EQ(box.right - box.left, p.width);
        }
        if (p.height != 0 && want->kind != layouts::Bevel) {
            EXPECT_EQ(box.bottom - box.top, p.height);
        }
        const bool captioned = want->kind == layouts::Label ||
                               want->kind == layouts::HotTrackLabel ||
                               want->kind == layouts::GlyphButton;
        if (captioned) {
            EXPECT_EQ(shown_text(GetDlgItem(window, id.id)), want->text);
        }
    }
    // The toolbar's buttons and separators, in the table's order, placed
    // from the top of the toolbar's window, not of its client area.
    HWND toolbar = GetDlgItem(window, IDC_TOOLBAR);
    if (!toolbar) return;
    RECT frame;
    GetWindowRect(toolbar, &frame);
    POINT origin{0, 0};
    ClientToScreen(toolbar, &origin);
    int index = 0;
    for (const layouts::Control& c : layout.controls) {
        if (c.parent != "ToolBar1") continue;
        SCOPED_TRACE(std::string(c.name));
        RECT item{};
        ASSERT_TRUE(
            SendMessageA(toolbar, TB_GETITEMRECT, index++, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.left, c.place.left);
        EXPECT_EQ(item.right - item.left, c.place.width);
        if (c.kind != layouts::Separator) {
            EXPECT_EQ(item.top + origin.y - frame.top, c.place.top);
            EXPECT_EQ(item.bottom - item.top, c.place.height);
        }
    }
}

// Places, sizes and texts as the layout tables have them; at 96 dots per
// inch, where the tables' pixels are the screen's.
TEST_F(MainWindowUiTest, WindowsMatchTheLayoutTables) {
    Start();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != 96) GTEST_SKIP() << dpi << " dots per inch";
    expect_layout(Main(), layouts::kMainWindow, win32::kMainWindowIds);
    expect_layout(windows_->help().handle(), layouts::kHelpWindow, win32::kHelpWindowIds);
    expect_layout(windows_->viewer().handle(), layouts::kFileViewer, win32::kFileViewerIds);
    expect_layout(windows_->about().handle(), layouts::kAboutWindow, win32::kAboutWindowIds);
    expect_layout(windows_->underConstruction().handle(), layouts::kUnderConstruction,
                  win32::kUnderConstructionIds);

    // A themed push button takes no face colour: the glyph button is drawn
    // by its window.
    HWND start = Control(IDC_START_CONVERSION);
    RedrawWindow(start, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT box;
    GetClientRect(start, &box);
    HDC dc = GetDC(start);
    const COLORREF face = GetPixel(dc, box.right - 6, box.bottom / 2);
    ReleaseDC(start, dc);
    const layouts::Colour aqua = layouts::kButtonFace;
    EXPECT_EQ(face, RGB(aqua.red, aqua.green, aqua.blue));
}

// The width `text` takes in `control`'s font.
int text_width(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// Whatever font the system gives: no label runs past its window's edge and
// no status panel cuts its text off.
TEST_F(MainWindowUiTest, TextsFitTheirWindowsAndPanels) {
    Start();
    const auto expect_labels_fit = [](HWND window, const layouts::Window& layout,
                                      std::span<const win32::ControlId> ids) {
        RECT client;
        GetClientRect(window, &client);
        for (const win32::ControlId& id : ids) {
            HWND control = GetDlgItem(window, id.id);
            if (win32::FindControl(layout, id.name)->kind != layouts::Label) continue;
            const RECT box = box_in(window, control);
            EXPECT_LE(box.left + text_width(control, shown_text(control)), client.right)
                << layout.name << ' ' << id.name;
        }
    };
    expect_labels_fit(Main(), layouts::kMainWindow, win32::kMainWindowIds);
    expect_labels_fit(windows_->help().handle(), layouts::kHelpWindow, win32::kHelpWindowIds);
    expect_labels_fit(windows_->about().handle(), layouts::kAboutWindow, win32::kAboutWindowIds);
    // A label paints its whole box: where two boxes overlap, the lower one
    // in the z-order must leave the upper one's part alone, or it paints
    // over its text ("Version: 1.0" under the title's box).
    for (HWND window : {Main(), windows_->help().handle(), windows_->about().handle()}) {
        std::vector<HWND> labels;  // top of the z-order first
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char class_name[16] = {};
            GetClassNameA(child, class_name, sizeof class_name);
            if (std::string_view(class_name) == "Static" && !shown_text(child).empty())
                labels.push_back(child);
        }
        for (std::size_t upper = 0; upper < labels.size(); ++upper) {
            for (std::size_t lower = upper + 1; lower < labels.size(); ++lower) {
                RECT a = box_in(window, labels[upper]), b = box_in(window, labels[lower]), both;
                if (!IntersectRect(&both, &a, &b)) continue;
                EXPECT_TRUE(GetWindowLongPtrA(labels[lower], GWL_STYLE) & WS_CLIPSIBLINGS)
                    << shown_text(labels[lower]) << " paints over " << shown_text(labels[upper]);
            }
        }
    }
    // A panel draws its text inside a one-pixel edge and three pixels in.
    HWND bar = Control(IDC_STATUS);
    const int panels = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0));
    ASSERT_EQ(panels, static_cast<int>(std::size(layouts::kMainStatusPanels)));
    for (int panel = 0; panel < panels; ++panel) {
        RECT box{};
        SendMessageA(bar, SB_GETRECT, panel, reinterpret_cast<LPARAM>(&box));
        EXPECT_LE(text_width(bar, Panel(panel)) + 5, box.right - box.left) << Panel(panel);
    }
}

TEST_F(MainWindowUiTest, ViewerSavesWithoutEditsWhatItLoaded) {
    // Text outside the system's code page, a zero byte and a stray byte.
    const std::string bytes =
        std::string("#CONTACT\r\nNAME=K\xC3\xB6ln \xE2\x98\x83\r\n") + '\0' + "NOTE=\xFF\r\n";
    const std::string name = PathOf("viewed.adr");
    PutFile(name, bytes);
    const InTestFolder here(folder_);
    Start();
    SetText(IDC_OPERA_CONTACTS, name);
    HWND viewer = windows_->viewer().handle();
    std::string caption;
    Script script({[&] {
                       char text[256] = {};
                       GetWindowTextA(viewer, text, sizeof text);
                       caption = text;
                       // Save writes the editor's text over whatever is there.
                       PutFile(name, "changed on disk");
                       Command(viewer, ID_SAVE);
                   },
                   [&] { Screenshot(viewer, "file-viewer"); },
                   [&] { Command(viewer, ID_CLOSE_VIEWER); }});
    MessageBoxCloser closer;
    SendMessageA(Main(), WM_COMMAND, ID_OPEN_CONTACTS, 0);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(closer.Boxes().empty());
    EXPECT_EQ(caption, "Quarvo - [viewed.adr]");
    EXPECT_EQ(FileBytes(name), bytes);
    EXPECT_EQ(FileBytes(PathOf("QuarvoFileViewerBackup.txt")), bytes);
    EXPECT_FALSE(IsWindowVisible(viewer));
    EXPECT_TRUE(IsWindowEnabled(Main()));
}

// A character typed into the viewer reaches the file whole, whatever the
// system's code page: it goes through the program's loop as UTF-16.
TEST_F(MainWindowUiTest, ViewerSavesWhatIsTyped) {
    const std::string name = PathOf("typed.adr");
    PutFile(name, "a\r\n");
    const InTestFolder here(folder_);
    Start();
    SetText(IDC_OPERA_CONTACTS, name);
    HWND viewer = windows_->viewer().handle();
    Script script({[&] { PostMessageW(GetDlgItem(viewer, IDC_EDITOR), WM_CHAR, 0x4E2D, 1); },
                   [&] { Command(viewer, ID_SAVE); }, [&] { Command(viewer, ID_CLOSE_VIEWER); }});
    SendMessageA(Main(), WM_COMMAND, ID_OPEN_CONTACTS, 0);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(FileBytes(name),
              "\xE4\xB8\xAD"
              "a\r\n");
}

TEST_F(MainWindowUiTest, HelpAndAboutOpenAndClose) {
    Start();
    HWND help = windows_->help().handle();
    HWND about = windows_->about().handle();
    bool help_shown = false, about_over_help = false, help_stays = false;
    Script script({[&] {
                       help_shown = IsWindowVisible(help) && !IsWindowEnabled(Main());
                       Screenshot(help, "help-window");
                       Command(help, IDC_LOGO, STN_DBLCLK, GetDlgItem(help, IDC_LOGO));
                   },
                   [&] {
                       about_over_help = IsWindowVisible(about) && !IsWindowEnabled(help);
                       Screenshot(about, "about-window");
                       Command(about, IDC_TITLE, STN_CLICKED, GetDlgItem(about, IDC_TITLE));
                   },
                   [&] {
                       help_stays = IsWindowVisible(help) && !IsWindowVisible(about);
                       Command(help, IDC_CLOSE, BN_CLICKED, GetDlgItem(help, IDC_CLOSE));
                   }});
    SendMessageA(Main(), WM_COMMAND, ID_HELP, 0);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(help_shown);
    EXPECT_TRUE(about_over_help);
    EXPECT_TRUE(help_stays);
    EXPECT_FALSE(IsWindowVisible(help));
    EXPECT_TRUE(IsWindowEnabled(Main()));
}

TEST_F(MainWindowUiTest, UnderConstructionClosesOnAClickOnItsPicture) {
    Start();
    HWND window = windows_->underConstruction().handle();
    EXPECT_FALSE(IsWindowVisible(window));
    Script script({[&] {
        Screenshot(window, "under-construction-window");
        Command(window, IDC_LOGO, STN_CLICKED, GetDlgItem(window, IDC_LOGO));
    }});
    windows_->underConstruction().ShowModal();
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(IsWindowVisible(window));
}

}  // namespace
}  // namespace quarvo::testing
