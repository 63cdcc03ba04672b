// SPDX-License-Identifier: MIT
// quarvo.exe's file viewer driven as a keyboard drives it, through the
// system's input: its keys run Save, Save as's neighbours Reload and Close,
// no key types a control character into the file, unsaved edits are never
// dropped without a question, and the real Opera files come back byte for
// byte after keys and Ctrl+S (QUARVO_CORPUS_DIR names them).
#include <Scintilla.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_fixture.h"

namespace quarvo::testing {
namespace {

class ViewerUiTest : public MainWindowUiTest {
  protected:
    // Opens the viewer on `name`, as Open Opera-Contacts does, and runs
    // `steps` inside it, one every `interval` milliseconds. A last step
    // closes the viewer if the steps left it open, and says so.
    bool View(const std::string& name, std::vector<std::function<void()>> steps,
              int interval = 300) {
        SetText(IDC_OPERA_CONTACTS, name);
        bool left_open = false;
        steps.push_back([this, &left_open] {
            left_open = true;
            windows_->viewer().Close();
        });
        Script script(std::move(steps), interval);
        SendMessageA(Main(), WM_COMMAND, ID_OPEN_CONTACTS, 0);
        return !left_open;
    }
    [[nodiscard]] HWND Viewer() const { return windows_->viewer().handle(); }
    [[nodiscard]] HWND Editor() const { return GetDlgItem(Viewer(), IDC_EDITOR); }
    [[nodiscard]] bool Modified() const { return SendMessageW(Editor(), SCI_GETMODIFY, 0, 0); }
    [[nodiscard]] std::size_t Length() const {
        return static_cast<std::size_t>(SendMessageW(Editor(), SCI_GETLENGTH, 0, 0));
    }
};

TEST_F(ViewerUiTest, KeysRunTheCommandsAndTypeNoControlCharacters) {
    const std::string name = PathOf("keys.adr");
    const std::string bytes = "NAME=Ann\r\n\tURL=x\n";
    PutFile(name, bytes);
    const InTestFolder here(folder_);
    Start();
    bool typed_nothing = false;
    std::string saved;
    std::size_t reloaded = 0;
    MessageBoxCloser closer;
    const bool closed = View(name, {[&] {
                                        SetFocus(Editor());
                                        PressKeys({VK_CONTROL, 'E'});
                                        PressKeys({VK_CONTROL, 'Q'});
                                        PressKeys({VK_MENU, 'F'});
                                        PressKeys({VK_MENU, 'X'});
                                        PressKeys({VK_F2});
                                    },
                                    [&] {
                                        typed_nothing = !Modified() && Length() == bytes.size();
                                        PressKeys({'Z'});
                                        PressKeys({VK_CONTROL, 'S'});
                                    },
                                    [&] {
                                        saved = FileBytes(name);
                                        PutFile(name, "changed on disk\r\n");
                                        PressKeys({VK_F5});
                                    },
                                    [&] {
                                        reloaded = Length();
                                        PressKeys({VK_ESCAPE});
                                    }});
    EXPECT_TRUE(typed_nothing);
    EXPECT_EQ(saved, "z" + bytes);
    EXPECT_EQ(reloaded, std::string("changed on disk\r\n").size());
    EXPECT_TRUE(closed) << "Escape closes a viewer without unsaved changes";
    EXPECT_TRUE(closer.Boxes().empty()) << "and asks nothing";
}

TEST_F(ViewerUiTest, UnsavedEditsAreNeverDroppedWithoutAQuestion) {
    const std::string name = PathOf("asks.adr");
    PutFile(name, "NAME=Ann\r\n");
    const InTestFolder here(folder_);
    Start();
    bool stayed_open = false;
    MessageBoxCloser closer(IDCANCEL);
    // Escape, answered Cancel; then the frame's close, answered Yes (save).
    EXPECT_TRUE(View(name, {[&] {
                                SetFocus(Editor());
                                PressKeys({'Z'});
                                PressKeys({VK_ESCAPE});
                            },
                            [&] {
                                stayed_open = IsWindowVisible(Viewer()) && Modified();
                                closer.Answer(IDYES);
                                PostMessageA(Viewer(), WM_CLOSE, 0, 0);
                            }}));
    EXPECT_TRUE(stayed_open);
    EXPECT_EQ(FileBytes(name), "zNAME=Ann\r\n");

    // Ctrl+W, answered No (discard): the file stays as it was.
    closer.Answer(IDNO);
    EXPECT_TRUE(View(name, {[&] {
                         SetFocus(Editor());
                         PressKeys({'Q'});
                         PressKeys({VK_CONTROL, 'W'});
                     }}));
    EXPECT_EQ(FileBytes(name), "zNAME=Ann\r\n");
    const auto boxes = closer.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.caption, "Quarvo");
        EXPECT_EQ(box.text, "Do you want to save the changes to asks.adr?");
    }
}

TEST_F(ViewerUiTest, TheRealOperaFilesSurviveKeysAndSave) {
    const std::string corpus = environment("QUARVO_CORPUS_DIR");
    if (corpus.empty()) GTEST_SKIP() << "no corpus given";
    const InTestFolder here(folder_);
    Start();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "\\*.adr").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << corpus;
    int files = 0;
    MessageBoxCloser closer;
    do {
        const std::string original = FileBytes(corpus + "\\" + found.cFileName);
        const std::string name = PathOf(found.cFileName);
        PutFile(name, original);
        EXPECT_TRUE(View(name,
                         {[&] {
                              SetFocus(Editor());
                              PressKeys({VK_DOWN});
                              PressKeys({'X'});
                              PressKeys({VK_BACK});
                              PressKeys({VK_CONTROL, 'S'});
                          },
                          [&] { PressKeys({VK_ESCAPE}); }},
                         150))
            << found.cFileName;
        EXPECT_EQ(FileBytes(name), original) << found.cFileName;
        ++files;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_GT(files, 0);
    EXPECT_TRUE(closer.Boxes().empty());
}

// What the viewer window goes through while a large file loads, in order.
struct LoadTrace {
    HWND viewer = nullptr;
    std::vector<std::string> events;
};

LRESULT CALLBACK trace_progress(HWND bar, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                DWORD_PTR data) {
    auto* trace = reinterpret_cast<LoadTrace*>(data);
    if (message == PBM_SETPOS && IsWindowVisible(bar)) {
        char caption[256] = {};
        GetWindowTextA(trace->viewer, caption, sizeof caption);
        trace->events.push_back(std::string("step under ") + caption);
    }
    return DefSubclassProc(bar, message, w, l);
}

LRESULT CALLBACK trace_frame(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                             DWORD_PTR data) {
    auto* trace = reinterpret_cast<LoadTrace*>(data);
    if (message == WM_SETTEXT) trace->events.push_back("caption set");
    if (message == WM_NCPAINT) trace->events.push_back("frame painted");
    return DefSubclassProc(window, message, w, l);
}

// A large file shows its progress in the viewer's toolbar, under its own
// name: the frame is painted with the new caption before the load begins.
TEST_F(ViewerUiTest, ALargeFileShowsItsProgressUnderItsOwnName) {
    std::string hotlist = "Opera Hotlist version 2.0\r\n\r\n";
    while (hotlist.size() < (std::size_t{6} << 20))
        hotlist += "#URL\r\n\tNAME=Some page\r\n\tURL=http://example.org/\r\n\r\n";
    const std::string name = PathOf("large.adr");
    PutFile(name, hotlist);
    const InTestFolder here(folder_);
    Start();
    LoadTrace trace;
    trace.viewer = Viewer();
    SetWindowSubclass(GetDlgItem(Viewer(), IDC_LOAD_PROGRESS), trace_progress, 1,
                      reinterpret_cast<DWORD_PTR>(&trace));
    SetWindowSubclass(Viewer(), trace_frame, 1, reinterpret_cast<DWORD_PTR>(&trace));
    bool hidden_after = false;
    EXPECT_TRUE(View(name, {[&] {
                         hidden_after = !IsWindowVisible(GetDlgItem(Viewer(), IDC_LOAD_PROGRESS));
                         PressKeys({VK_ESCAPE});
                     }}));
    RemoveWindowSubclass(GetDlgItem(Viewer(), IDC_LOAD_PROGRESS), trace_progress, 1);
    RemoveWindowSubclass(Viewer(), trace_frame, 1);
    const auto caption = std::find(trace.events.begin(), trace.events.end(), "caption set");
    ASSERT_NE(caption, trace.events.end());
    const auto first_step = std::find_if(
        caption, trace.events.end(), [](const std::string& e) { return e.rfind("step", 0) == 0; });
    ASSERT_NE(first_step, trace.events.end()) << "no progress shown";
    EXPECT_NE(std::find(caption, first_step, "frame painted"), first_step)
        << "the frame was not painted with the new caption before the load";
    EXPECT_EQ(*first_step, "step under Quarvo - [large.adr]");
    EXPECT_GE(std::count_if(first_step, trace.events.end(),
                            [](const std::string& e) { return e.rfind("step", 0) == 0; }),
              6)
        << "the read, each megabyte and the backup";
    EXPECT_TRUE(hidden_after);
}

}  // namespace
}  // namespace quarvo::testing
