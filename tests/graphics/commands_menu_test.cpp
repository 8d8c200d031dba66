// The "&Run" menu: its items, its check marks, and the Ctrl+letter commands typed in either
// window, which act exactly as the menu commands do.
#include "library_fixture.h"

namespace {

struct Item {
    UINT id;
    const char *text; // null for a separator
    UINT state;       // MF_CHECKED, MF_GRAYED or 0
};

const Item expected_items[16] = {
    {1, "&Animate\tCtrl+A", 0},
    {2, "&Halt animation\tCtrl+H", 0},
    {3, "Advance one &frame\tCtrl+F", 0},
    {0, nullptr, 0},
    {4, "&Logging\tCtrl+L", MF_CHECKED},
    {0, nullptr, 0},
    {5, "&Record Script\tCtrl+R", 0},
    {6, "&Playback Script\tCtrl+P", 0},
    {7, "Play &One Script\tCtrl+O", 0},
    {0, nullptr, 0},
    {8, "&Quit\tCtrl+Q", 0},
    {0, nullptr, 0},
    {9, "KELPA v2.2xx April 2000", MF_GRAYED},
    {9, "MAC: mac@example.org", MF_GRAYED},
    {9, "WINDOWS: windows@example.org", MF_GRAYED},
    {9, "UPDATES: updates@example.org", MF_GRAYED},
};

std::string menu_string(HMENU menu, int pos) {
    char buffer[128] = {};
    GetMenuStringA(menu, pos, buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

bool checked(UINT id) {
    return (GetMenuState(library_state.run_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

HWND graphics() {
    return library_state.graphics_window;
}

void ctrl_key(HWND hwnd, WPARAM key) {
    SendMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0);
    SendMessageA(hwnd, WM_KEYDOWN, key, 0);
    SendMessageA(hwnd, WM_KEYUP, key, 0);
    SendMessageA(hwnd, WM_KEYUP, VK_CONTROL, 0);
}

} // namespace

class RunMenuTest : public StartedLibraryInTempDir {};

TEST_F(RunMenuTest, HasSixteenItemsInOrder) {
    HMENU bar = GetMenu(graphics());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(menu_string(bar, 0), "&Run");
    ASSERT_EQ(GetSubMenu(bar, 0), library_state.run_menu);

    HMENU run = library_state.run_menu;
    ASSERT_EQ(GetMenuItemCount(run), 16);
    for (int pos = 0; pos < 16; ++pos) {
        const Item &want = expected_items[pos];
        const UINT state = GetMenuState(run, pos, MF_BYPOSITION);
        if (!want.text) {
            EXPECT_TRUE(state & MF_SEPARATOR) << "position " << pos + 1;
            continue;
        }
        EXPECT_EQ(GetMenuItemID(run, pos), want.id) << "position " << pos + 1;
        EXPECT_EQ(menu_string(run, pos), want.text) << "position " << pos + 1;
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_SEPARATOR), want.state) << "position " << pos + 1;
    }
}

TEST_F(RunMenuTest, CheckMarksFollowLoggingRecordingAndPlayback) {
    EXPECT_TRUE(checked(IDM_LOGGING));
    kelpa_set_logging(0);
    EXPECT_FALSE(checked(IDM_LOGGING));
    ctrl_key(graphics(), 'L');
    EXPECT_TRUE(checked(IDM_LOGGING));
    EXPECT_EQ(library_state.logging, 1);
    SendMessageA(graphics(), WM_COMMAND, IDM_LOGGING, 0);
    EXPECT_FALSE(checked(IDM_LOGGING));
    EXPECT_EQ(library_state.logging, 0);

    ctrl_key(graphics(), 'r');
    EXPECT_TRUE(checked(IDM_RECORD));
    EXPECT_EQ(library_state.recording, 1);
    ctrl_key(graphics(), 'R');
    EXPECT_FALSE(checked(IDM_RECORD));
    EXPECT_EQ(library_state.recording, 0);

    SendMessageA(graphics(), WM_COMMAND, IDM_PLAYBACK, 0);
    EXPECT_TRUE(checked(IDM_PLAYBACK));
    EXPECT_EQ(library_state.playing_back, 1);
    // No script file: the first read stops playback, and the mark goes with it.
    headless::click(graphics(), 3, 3);
    int x, y;
    char key;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_MOUSE);
    EXPECT_FALSE(checked(IDM_PLAYBACK));
    EXPECT_EQ(library_state.playing_back, 0);
}

TEST_F(RunMenuTest, LowerAndUpperCaseLettersAreTheSameCommand) {
    for (WPARAM letter : {WPARAM('A'), WPARAM('a')}) {
        library_state.animating = 0;
        ctrl_key(graphics(), letter);
        EXPECT_EQ(library_state.animating, 1) << letter;
    }
    for (WPARAM letter : {WPARAM('H'), WPARAM('h')}) {
        library_state.animating = 1;
        ctrl_key(graphics(), letter);
        EXPECT_EQ(library_state.animating, 0) << letter;
    }
    for (WPARAM letter : {WPARAM('F'), WPARAM('f')}) {
        library_state.animating = 1;
        library_state.step_pending = 0;
        ctrl_key(graphics(), letter);
        EXPECT_EQ(library_state.animating, 0) << letter;
        EXPECT_EQ(library_state.step_pending, 1) << letter;
    }
    for (WPARAM letter : {WPARAM('O'), WPARAM('o')}) {
        library_state.animating = 1;
        library_state.step_pending = 1;
        library_state.play_one = 0;
        ctrl_key(graphics(), letter);
        EXPECT_EQ(library_state.play_one, 1) << letter;
        EXPECT_EQ(library_state.animating, 0) << letter;
        EXPECT_EQ(library_state.step_pending, 0) << letter;
    }
}

TEST_F(RunMenuTest, LettersWithoutCtrlAreKeysAndAStuckCtrlMakesThemCommands) {
    headless::key(graphics(), 'A');
    int x, y;
    char key;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_KBD);
    EXPECT_EQ(key, 'a');
    EXPECT_EQ(library_state.animating, 0);

    // Ctrl released while neither window had the focus: no key-up ever came.
    SendMessageA(graphics(), WM_KEYDOWN, VK_CONTROL, 0);
    headless::key(graphics(), 'A');
    headless::on_idle([] {
        if (headless::now() >= 1000)
            headless::click(graphics(), 1, 1);
    });
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_PERIODIC); // Ctrl+A started the animation
    EXPECT_EQ(library_state.animating, 1);
}

TEST_F(RunMenuTest, CtrlQWhileHaltedEndsTheWaitAtOnce) {
    ASSERT_TRUE(dispatch_pending());
    const uint32_t start = headless::now();
    bool typed = false;
    headless::on_idle([&] {
        if (!typed) {
            typed = true;
            headless::key_down(graphics(), VK_CONTROL);
            headless::key(graphics(), 'Q');
            headless::key_up(graphics(), VK_CONTROL);
        }
    });
    int x, y;
    char key;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_QUIT);
    EXPECT_EQ(headless::now(), start); // no tick was waited for
    EXPECT_TRUE(IsWindow(graphics())); // the quit destroys nothing
}

TEST_F(RunMenuTest, KeysTypedIntoTheTextWindowReachTheProgram) {
    headless::key(library_state.text_window, 'J');
    int x = -1, y = -1;
    char key = 0;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_KBD);
    EXPECT_EQ(key, 'j');
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    // Ctrl held in the text window is tracked by the graphics window.
    headless::key_down(library_state.text_window, VK_CONTROL);
    headless::key(library_state.text_window, 'A');
    headless::key_up(library_state.text_window, VK_CONTROL);
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(library_state.animating, 1);
    EXPECT_EQ(library_state.ctrl_down, 0);
}

TEST_F(RunMenuTest, CharactersWhileCtrlIsHeldAreDropped) {
    SendMessageA(graphics(), WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(graphics(), WM_CHAR, 1, 0); // what Ctrl+A types
    headless::on_idle([] {
        if (headless::now() >= 500)
            headless::click(graphics(), 2, 2);
    });
    int x, y;
    char key;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_MOUSE);
}

TEST_F(RunMenuTest, CommandNineAndOtherIdsDoNothing) {
    const LibraryState before = library_state;
    for (WPARAM id : {WPARAM(0), WPARAM(IDM_INFO), WPARAM(10), WPARAM(0xffff)})
        SendMessageA(graphics(), WM_COMMAND, id, 0);
    EXPECT_EQ(library_state.animating, before.animating);
    EXPECT_EQ(library_state.step_pending, before.step_pending);
    EXPECT_EQ(library_state.logging, before.logging);
    EXPECT_EQ(library_state.recording, before.recording);
    EXPECT_EQ(library_state.playing_back, before.playing_back);
    EXPECT_EQ(library_state.play_one, before.play_one);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(RunMenuTest, AfterHaltEachStepYieldsOnePeriodicEvent) {
    kelpa_set_run_mode(RUN_ANIMATE);
    int x, y;
    char key;
    kelpa_next_event(x, y, key);
    ctrl_key(graphics(), 'H');
    for (int i = 0; i < 2; ++i) {
        ctrl_key(graphics(), 'F');
        const uint32_t before = headless::now();
        EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_PERIODIC);
        EXPECT_GT(headless::now(), before);
    }
    const uint32_t last = headless::now();
    headless::on_idle([&] {
        if (headless::now() >= last + 400)
            headless::click(graphics(), 2, 2);
    });
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_MOUSE);
}
