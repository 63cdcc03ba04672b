// SPDX-License-Identifier: MIT
#include "main_window.h"

// commctrl.h needs the types of windows.h.
#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <vector>

#include "file_name_field.h"
#include "program_texts.h"
#include "resource_ids.h"
#include "window_layouts.h"
#include "window_support.h"

namespace quarvo::win32 {
namespace {

using layouts::kMainWindow;

// Each file-name field: its edit, browse button and browse filter.
struct Field {
    NameField field;
    std::string_view name;
    int edit;
    int browse;
    // Entries separated by '|', as description|patterns pairs.
    const char* filter;
    int filter_index;
};

constexpr std::array kFields{
    Field{NameField::OperaContacts, "jfeOperaContactsFile", IDC_OPERA_CONTACTS,
          IDC_BROWSE_OPERA_CONTACTS, "All files (*.*)|*.*", 1},
    Field{NameField::OperaBookmarks, "jfeOperaBookmarksFile", IDC_OPERA_BOOKMARKS,
          IDC_BROWSE_OPERA_BOOKMARKS, "All files (*.*)|*.*", 1},
    Field{NameField::ContactsOutput, "jfeContactsOutputFile", IDC_CONTACTS_OUTPUT,
          IDC_BROWSE_CONTACTS_OUTPUT,
          "All files (*.*)|*.*|Comma separated values (*.csv)|*.csv|vCard (*.vcf)|*.vcf", 2},
    Field{NameField::BookmarksOutput, "jfeBookmarksOutputFile", IDC_BOOKMARKS_OUTPUT,
          IDC_BROWSE_BOOKMARKS_OUTPUT, "All files (*.*)|*.*|Internet Website (*.htm)|*.htm", 2},
};

const Field& field_of(NameField field) {
    for (const Field& f : kFields)
        if (f.field == field) return f;
    return kFields[0];
}

constexpr int kStartGlyph = 3;

// The menu bar's menus by place, as quarvo.rc has them.
enum MenuPlace {
    kFileMenu,
    kEditMenu,
    kSearchMenu,
    kContactsOutputMenu,
    kBookmarksOutputMenu,
    kHelpMenu
};

// A run of menu commands of which one is chosen, with what each stands for,
// in the menu's order.
template <class Choice, std::size_t N>
struct ChoiceGroup {
    int first;
    std::array<Choice, N> choices;

    [[nodiscard]] bool Holds(int id) const {
        return id >= first && id < first + static_cast<int>(N);
    }
    [[nodiscard]] int last() const { return first + static_cast<int>(N) - 1; }
};

// The CSV layouts and the vCard versions are one group: one format at a time.
constexpr ChoiceGroup<ContactsFormat, 6> kFormatChoices{
    ID_LAYOUT_WAB,
    {ContactsFormat::kWabCsv, ContactsFormat::kOutlookCsv, ContactsFormat::kThunderbirdCsv,
     ContactsFormat::kGoogleCsv, ContactsFormat::kVcard30, ContactsFormat::kVcard21}};
constexpr ChoiceGroup<OutputEncoding, 3> kEncodingChoices{
    ID_ENCODING_UTF8,
    {OutputEncoding::kUtf8, OutputEncoding::kUtf8Bom, OutputEncoding::kWindows1252}};
constexpr ChoiceGroup<BookmarkFlavour, 4> kFlavourChoices{
    ID_INTERNET_EXPLORER_FLAVOUR,
    {BookmarkFlavour::kInternetExplorer, BookmarkFlavour::kBrowser, BookmarkFlavour::kFirefoxBackup,
     BookmarkFlavour::kChromium}};

// Checks `id` in its group and returns what it stands for.
template <class Choice, std::size_t N>
Choice choose(HMENU menu, const ChoiceGroup<Choice, N>& group, int id) {
    CheckMenuRadioItem(menu, static_cast<UINT>(group.first), static_cast<UINT>(group.last()),
                       static_cast<UINT>(id), MF_BYCOMMAND);
    return group.choices[static_cast<std::size_t>(id - group.first)];
}

// Checks the item of `group` that stands for `choice`.
template <class Choice, std::size_t N>
void show_choice(HMENU menu, const ChoiceGroup<Choice, N>& group, Choice choice) {
    for (std::size_t i = 0; i < N; ++i)
        if (group.choices[i] == choice) choose(menu, group, group.first + static_cast<int>(i));
}

// Turns a checkable item over; returns whether it is checked now.
bool toggle(HMENU menu, int id) {
    const bool checked = !(GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED);
    CheckMenuItem(menu, static_cast<UINT>(id),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    return checked;
}

void enable_item(HMENU menu, int id, bool enabled) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The contacts output's browse filters: all files, CSV, vCard.
constexpr int kCsvFilter = 2;
constexpr int kVcardFilter = 3;

// How often a conversion's progress is shown: a few dozen times a second.
constexpr DWORD kProgressInterval = 40;

// Paints what waits to be painted, without taking any input: a conversion
// keeps the loop from running, and the window would show nothing of it.
void paint_now() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&message);
}

enum StatusPanel { kMakerPanel, kBookmarksPanel, kContactsPanel, kStatePanel, kSparePanel };

constexpr auto kPanelWidths = [] {
    std::array<int, std::size(layouts::kMainStatusPanels)> widths{};
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = layouts::kMainStatusPanels[i].width;
    return widths;
}();

// Alt+Down or F4 in a file-name field opens its browse dialog, as a combo
// box's list opens.
LRESULT CALLBACK field_keys(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR browse_id,
                            DWORD_PTR) {
    const bool alt_down = message == WM_SYSKEYDOWN && w == VK_DOWN;
    const bool f4 = message == WM_KEYDOWN && w == VK_F4;
    if (alt_down || f4) {
        SendMessageA(
            GetParent(edit), WM_COMMAND, MAKEWPARAM(browse_id, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(GetParent(edit), static_cast<int>(browse_id))));
        return 0;
    }
    return DefSubclassProc(edit, message, w, l);
}

constexpr UINT kFirstShown = WM_APP + 1;
constexpr UINT kCounted = WM_APP + 2;

// Pictures of the image list (resources/images/imagelist).
constexpr int kBrowsePicture = 3;
constexpr int kBalloonPicture = 10;

struct MenuPicture {
    int command;
    int picture;
};

constexpr std::array kMenuPictures{
    MenuPicture{ID_START_CONVERSION, 1},
    MenuPicture{ID_OPEN_BOOKMARKS, 19},
    MenuPicture{ID_OPEN_CONTACTS, 18},
    MenuPicture{ID_EXIT, 7},
    MenuPicture{ID_HELP, 16},
    MenuPicture{ID_ABOUT, 17},
};

int menu_picture(UINT command) {
    for (const MenuPicture& p : kMenuPictures)
        if (static_cast<UINT>(p.command) == command) return p.picture;
    return -1;
}

}  // namespace

MainWindow::MainWindow(Desktop& desktop, OtherWindows others)
    : desktop_(desktop), others_(std::move(others)), counting_(kCounted), logic_(*this, desktop) {
    CreateDialogParamA(ProgramInstance(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc,
                       reinterpret_cast<LPARAM>(this));
}

MainWindow::~MainWindow() {
    logic_.CancelCounts();
    counting_.Finish(window_);
    if (window_) DestroyWindow(window_);
    for (HFONT font : {bold_, title_})
        if (font) DeleteObject(font);
    if (logo_) DeleteObject(logo_);
    for (HIMAGELIST list : {glyphs_, disabled_glyphs_, pictures_})
        if (list) ImageList_Destroy(list);
    for (HICON icon : {hint_icon_, browse_icon_})
        if (icon) DestroyIcon(icon);
    if (white_) DeleteObject(white_);
}

void MainWindow::Show() {
    CentreOver(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    // A display without a window manager may never activate the window; the
    // first showing stands in for the first activation then.
    PostMessageA(window_, kFirstShown, 0, 0);
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<MainWindow*>(l);
        SetWindowLongPtrA(window, DWLP_USER, l);
        self->window_ = window;
        self->Initialize();
        return FALSE;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->Handle(message, w, l) : FALSE;
}

void MainWindow::Initialize() {
    white_ = CreateSolidBrush(RGB(255, 255, 255));
    pictures_ = LoadImageStrip(IDB_IMAGE_LIST);
    createFonts();
    LayOut(window_, kMainWindow, kMainWindowIds);
    bold_ = FitLabelFont(window_, bold_);
    HICON icon = LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_QUARVO));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    createToolBar();
    createStatusBar();
    createHints();
    logo_ = LoadPicture(IDB_LOGO);
    SendMessageA(control(IDC_LOGO), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));
    createMenuPictures();
    browse_icon_ = ImageList_GetIcon(pictures_, kBrowsePicture, ILD_NORMAL);
    for (const Field& f : kFields) {
        SendMessageA(control(f.browse), BM_SETIMAGE, IMAGE_ICON,
                     reinterpret_cast<LPARAM>(browse_icon_));
        SetWindowSubclass(control(f.edit), field_keys, static_cast<UINT_PTR>(f.browse), 0);
    }
    // A window being made has no message loop around it yet, so an error of
    // the creation step is reported here and the window is made all the same.
    RunReporting(desktop_, [this] { logic_.FormCreate(); });
}

void MainWindow::createFonts() {
    bold_ = BoldFontOf(control(IDC_CONTACTS_LABEL));
    for (int id : {IDC_BOOKMARKS_LABEL, IDC_CONTACTS_OUTPUT_LABEL, IDC_BOOKMARKS_OUTPUT_LABEL,
                   IDC_PURPOSE1, IDC_PURPOSE2})
        SendMessageA(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    title_ = BoldFontOf(control(IDC_TITLE), 24);
}

void MainWindow::createToolBar() {
    HWND bar = control(IDC_TOOLBAR);
    glyphs_ = LoadImageStrip(IDB_TOOLBAR);
    disabled_glyphs_ = LoadImageStrip(IDB_TOOLBAR_DISABLED);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_));
    SendMessageA(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled_glyphs_));
    AddToolButtons(bar, kMainWindow, kMainToolCommands);
    start_button_.Attach(control(IDC_START_CONVERSION), glyphs_, disabled_glyphs_, kStartGlyph);
}

void MainWindow::createStatusBar() {
    HWND bar = control(IDC_STATUS);
    std::vector<int> edges;
    int right = 0;
    for (const layouts::StatusPanel& panel : layouts::kMainStatusPanels) {
        right += Scaled(window_, panel.width);
        edges.push_back(right);
    }
    SendMessageA(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageA(bar, SB_SETBKCOLOR, 0, RGB(255, 255, 255));
    int part = 0;
    for (const layouts::StatusPanel& panel : layouts::kMainStatusPanels)
        SendMessageA(bar, SB_SETTEXTA, part++,
                     reinterpret_cast<LPARAM>(std::string(panel.text).c_str()));
    FitStatusPanels(bar, kPanelWidths);
}

void MainWindow::createHints() {
    hints_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_BALLOON | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                             ProgramInstance(), nullptr);
    SendMessageA(hints_, TTM_SETMAXTIPWIDTH, 0, Scaled(window_, 400));
    for (const Field& f : kFields) {
        if (f.field == NameField::ContactsOutput) {
            contacts_hint_ = ContactsOutputHint(logic_.contacts_output().format);
            addHint(f.edit, contacts_hint_.c_str());
        } else if (const layouts::Control* c = FindControl(kMainWindow, f.name)) {
            addHint(f.edit, c->hint.data());
        }
    }
    hint_icon_ = ImageList_GetIcon(pictures_, kBalloonPicture, ILD_NORMAL);
    const auto icon =
        reinterpret_cast<WPARAM>(hint_icon_ ? hint_icon_ : reinterpret_cast<HICON>(TTI_INFO));
    SendMessageA(hints_, TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(kBalloonHeader));
    MakeBalloons(control(IDC_TOOLBAR), hint_icon_);
}

void MainWindow::createMenuPictures() {
    HMENU menu = GetMenu(window_);
    SetMenuDefaultItem(GetSubMenu(menu, kFileMenu), ID_START_CONVERSION, FALSE);
    SetMenuDefaultItem(GetSubMenu(menu, kHelpMenu), ID_ABOUT, FALSE);
    // Every start begins on the first choice of each group.
    ShowContactsOutput(logic_.contacts_output());
    choose(menu, kFlavourChoices, kFlavourChoices.first);
    // The menu asks for each picture when it draws the item, so that a
    // disabled item gets a faded one.
    for (const MenuPicture& p : kMenuPictures) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoA(menu, static_cast<UINT>(p.command), FALSE, &item);
    }
}

void MainWindow::drawMenuPicture(const DRAWITEMSTRUCT& item) const {
    const int picture = menu_picture(item.itemID);
    if (picture < 0) return;
    const int top =
        item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - PictureSize(pictures_)) / 2;
    ImageList_Draw(pictures_, picture, item.hDC, item.rcItem.left, top,
                   (item.itemState & ODS_GRAYED) ? ILD_BLEND50 : ILD_NORMAL);
}

void MainWindow::addHint(int id, const char* text) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control(id));
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

INT_PTR MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(w), HIWORD(w));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            if (start_button_.Draw(window_, header)) return TRUE;
            const char* hint = ToolHint(kMainWindow, kMainToolCommands, header->idFrom);
            if (header->code == TTN_GETDISPINFOA && hint) {
                reinterpret_cast<NMTTDISPINFOA*>(l)->lpszText = const_cast<char*>(hint);
            } else if (header->code == TTN_GETDISPINFOW && hint) {
                // The hints are ASCII.
                tip_buffer_.assign(hint, hint + std::string_view(hint).size());
                reinterpret_cast<NMTTDISPINFOW*>(l)->lpszText = tip_buffer_.data();
            }
            return FALSE;
        }
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
            if (item->CtlType != ODT_MENU) return FALSE;
            item->itemWidth = static_cast<UINT>(PictureSize(pictures_));
            item->itemHeight = static_cast<UINT>(PictureSize(pictures_));
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (item->CtlType != ODT_MENU) return FALSE;
            drawMenuPicture(*item);
            return TRUE;
        }
        case WM_INITMENUPOPUP:
            if (HIWORD(l)) return TRUE;
            if (reinterpret_cast<HMENU>(w) == GetSubMenu(GetMenu(window_), kFileMenu))
                RunReporting(desktop_, [this] { logic_.UpdateStartCommand(); });
            if (reinterpret_cast<HMENU>(w) == GetSubMenu(GetMenu(window_), kBookmarksOutputMenu))
                EnableMenuItem(reinterpret_cast<HMENU>(w), ID_CONVERSION_DETAILS,
                               MF_BYCOMMAND | (logic_.HasDetails() ? MF_ENABLED : MF_GRAYED));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(w) != WA_INACTIVE) RunReporting(desktop_, [this] { logic_.Activated(); });
            return FALSE;
        case kFirstShown:
            RunReporting(desktop_, [this] { logic_.Activated(); });
            return TRUE;
        case kCounted:
            RunReporting(desktop_, [l] { OffThreadWork::RunPosted(l); });
            return TRUE;
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(white_);
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(w), RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(white_);
        case WM_CLOSE:
            // Closing the main window ends the program, even while another
            // window of it is open.
            ShowWindow(window_, SW_HIDE);
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

void MainWindow::CountOffThread(std::function<EntryCount()> count,
                                std::function<void(EntryCount)> done) {
    counting_.Start(window_, [count = std::move(count), done = std::move(done)] {
        return std::function<void()>([done, result = count()] { done(result); });
    });
}

void MainWindow::Command(int id, int code) {
    const auto run = [this](auto action) { RunReporting(desktop_, action); };
    for (const Field& f : kFields) {
        if (f.edit == id) {
            if (code == EN_CHANGE) run([this, &f] { logic_.NameChanged(f.field); });
            return;
        }
    }
    switch (id) {
        case IDC_START_CONVERSION:
        case ID_START_CONVERSION:
            run([this] { logic_.StartConversion(); });
            return;
        case ID_OPEN_BOOKMARKS:
            run([this] { logic_.OpenBookmarks(); });
            return;
        case ID_OPEN_CONTACTS:
            run([this] { logic_.OpenContacts(); });
            return;
        case ID_ABOUT:
            if (others_.about) run(others_.about);
            return;
        case IDC_LOGO:
        case IDC_TITLE:
        case IDC_VERSION:
        case IDC_PURPOSE1:
        case IDC_PURPOSE2:
            if (code == STN_DBLCLK && others_.about) run(others_.about);
            return;
        case ID_HELP:
            if (others_.help) run(others_.help);
            return;
        case ID_EXPORT_NOTES:
            if (others_.export_notes) run(others_.export_notes);
            return;
        case ID_EXPORT_MAIL:
            if (others_.export_mail) run(others_.export_mail);
            return;
        case ID_EXPORT_PROFILE:
            if (others_.export_profile) run(others_.export_profile);
            return;
        case ID_CONVERSION_DETAILS:
            run([this] { logic_.ShowDetails(); });
            return;
        case ID_EXIT:
        case IDCANCEL:
            // Escape in a dialog asks it to cancel; the main window stays.
            if (id == ID_EXIT) PostMessageA(window_, WM_CLOSE, 0, 0);
            return;
        default:
            for (const Field& f : kFields)
                if (f.browse == id) run([this, &f] { Browse(f.field); });
            ChooseOutput(id);
    }
}

void MainWindow::ChooseOutput(int id) {
    HMENU menu = GetMenu(window_);
    const auto index = [](const auto& group, int item) {
        return group.choices[static_cast<std::size_t>(item - group.first)];
    };
    // The logic decides what follows from a contacts choice and has the
    // menu show it (ShowContactsOutput).
    if (kFormatChoices.Holds(id)) {
        RunReporting(desktop_, [&] { logic_.ChooseContactsFormat(index(kFormatChoices, id)); });
        return;
    }
    if (kEncodingChoices.Holds(id)) {
        logic_.ChooseContactsEncoding(index(kEncodingChoices, id));
        return;
    }
    if (id == ID_KEEP_CONTACTS_TRASH) {
        logic_.KeepContactsTrash(!logic_.contacts_output().keep_trash);
        return;
    }
    BookmarkOptions bookmarks = logic_.bookmark_options();
    if (kFlavourChoices.Holds(id)) {
        bookmarks.flavour = choose(menu, kFlavourChoices, id);
        for (const int offered : {ID_KEEP_BOOKMARKS_TRASH, ID_INCLUDE_OPERA_LINKS})
            enable_item(menu, offered, IsBrowserFile(bookmarks.flavour));
    } else if (id == ID_KEEP_BOOKMARKS_TRASH) {
        bookmarks.keep_trash = toggle(menu, id);
    } else if (id == ID_INCLUDE_OPERA_LINKS) {
        logic_.IncludeOperaLinks(toggle(menu, id));
        return;
    } else {
        return;
    }
    logic_.SetBookmarkOptions(bookmarks);
}

void MainWindow::ShowContactsOutput(const ContactsOutputChoice& choice) {
    HMENU menu = GetMenu(window_);
    show_choice(menu, kFormatChoices, choice.format);
    show_choice(menu, kEncodingChoices, choice.encoding);
    for (std::size_t i = 0; i < kEncodingChoices.choices.size(); ++i)
        enable_item(menu, kEncodingChoices.first + static_cast<int>(i),
                    OffersEncoding(choice.format, kEncodingChoices.choices[i]));
    const bool vcard = IsVcard(choice.format);
    CheckMenuItem(menu, ID_KEEP_CONTACTS_TRASH,
                  MF_BYCOMMAND | (choice.keep_trash ? MF_CHECKED : MF_UNCHECKED));
    enable_item(menu, ID_KEEP_CONTACTS_TRASH, vcard);
    contacts_filter_index_ = vcard ? kVcardFilter : kCsvFilter;
    contacts_hint_ = ContactsOutputHint(choice.format);
    if (!hints_) return;
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control(IDC_CONTACTS_OUTPUT));
    tool.lpszText = contacts_hint_.data();
    SendMessageA(hints_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::Browse(NameField which) {
    const Field& f = field_of(which);
    std::string filter = f.filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> name(32768, '\0');
    const std::string current = FileName(which);
    current.copy(name.data(), name.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(
        which == NameField::ContactsOutput ? contacts_filter_index_ : f.filter_index);
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = "Browse";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) {
        // A field holding what no file can be named opens the dialog empty.
        if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) return;
        name.assign(name.size(), '\0');
        if (!GetOpenFileNameA(&dialog)) return;
    }
    SetFileName(which, name.data());
}

std::string MainWindow::FileName(NameField field) const {
    return FileNameFromFieldText(WindowText(control(field_of(field).edit)));
}

void MainWindow::SetFileName(NameField field, const std::string& name) {
    SetWindowTextBytes(control(field_of(field).edit), FieldTextForFileName(name));
}

void MainWindow::ShowCounts(const ItemCounts& counts) {
    HWND progress = control(IDC_PROGRESS);
    SendMessageA(progress, PBM_SETRANGE32, 0, counts.progress_maximum);
    SendMessageA(progress, PBM_SETSTEP, 1, 0);
    SendMessageA(progress, PBM_SETPOS, 0, 0);
    progress_ = 0;
    progress_maximum_ = counts.progress_maximum;
    HWND status = control(IDC_STATUS);
    const std::string bookmarks = "# Bookmarks: " + std::to_string(counts.bookmarks);
    const std::string contacts = "# Contacts: " + std::to_string(counts.contacts);
    SendMessageA(status, SB_SETTEXTA, kBookmarksPanel, reinterpret_cast<LPARAM>(bookmarks.c_str()));
    SendMessageA(status, SB_SETTEXTA, kContactsPanel, reinterpret_cast<LPARAM>(contacts.c_str()));
    SendMessageA(status, SB_SETTEXTA, kStatePanel,
                 reinterpret_cast<LPARAM>(counts.ready ? "Status: Ready to convert"
                                                       : "Status: Choose Opera Filnames"));
    FitStatusPanels(status, kPanelWidths);
    EnableWindow(control(IDC_START_CONVERSION), counts.ready);
    SendMessageA(control(IDC_TOOLBAR), TB_ENABLEBUTTON, ID_START_CONVERSION,
                 MAKELPARAM(counts.ready, 0));
}

void MainWindow::EnableStartCommand(bool enabled) {
    EnableMenuItem(GetMenu(window_), ID_START_CONVERSION,
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ShowProgress(bool shown) {
    HWND bar = control(IDC_PROGRESS);
    // The bar keeps where the last step left it, as when stepped each time.
    if (!shown) SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(progress_), 0);
    ShowWindow(bar, shown ? SW_SHOW : SW_HIDE);
    UpdateWindow(window_);
    progress_shown_at_ = GetTickCount();
}

void MainWindow::StepProgress() {
    if (progress_ < progress_maximum_) ++progress_;
    const DWORD now = GetTickCount();
    if (now - progress_shown_at_ < kProgressInterval) return;
    progress_shown_at_ = now;
    SendMessageA(control(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(progress_), 0);
    paint_now();
}

void MainWindow::ShowViewer(const std::string& file_name) {
    if (others_.viewer) others_.viewer(file_name);
}

}  // namespace quarvo::win32
