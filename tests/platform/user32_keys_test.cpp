// Keys from the headless display: the lParam the real platform packs, translation into
// WM_CHAR (shift, Ctrl+letter, characters beyond ASCII, posted copies), and GetKeyState
// following the messages as they are retrieved.
#include "../win32/win32_test_support.h"

#include "input.h"
#include "win32_headless.h"

namespace {

class Keys : public Win32Test {
  protected:
    void SetUp() override {
        headless::reset();
        Win32Test::SetUp();
        watched.insert(watched.end(), {WM_KEYDOWN, WM_KEYUP});
    }
    void TearDown() override {
        Win32Test::TearDown();
        headless::reset();
    }
    // The characters the window received, in order.
    std::vector<int> chars(HWND only = nullptr) {
        std::vector<int> out;
        for (const Received &r : received)
            if (r.message == WM_CHAR && (!only || r.hwnd == only))
                out.push_back(static_cast<int>(r.wparam));
        return out;
    }
    std::vector<LPARAM> key_lparams() {
        std::vector<LPARAM> out;
        for (const Received &r : received)
            if (r.message == WM_KEYDOWN || r.message == WM_KEYUP)
                out.push_back(r.lparam);
        return out;
    }
};

TEST_F(Keys, LParamCarriesRepeatScanCodeAndTransition) {
    HWND h = create(true);
    headless::key_down(h, 'A');
    headless::key_down(h, 'A'); // auto-repeat: the key was already down
    headless::key_up(h, 'A');
    pump();
    std::vector<LPARAM> expected = {0x001E0001, 0x401E0001, static_cast<LPARAM>(0xC01E0001u)};
    EXPECT_EQ(key_lparams(), expected);
    EXPECT_EQ(received[0].wparam, static_cast<WPARAM>('A'));
}

TEST_F(Keys, TypingTranslatesWithTheShiftState) {
    HWND h = create(true);
    headless::type(h, "aB1 z");
    headless::key_down(h, VK_SHIFT);
    headless::key(h, 'Q');
    headless::key(h, '2');
    headless::key_up(h, VK_SHIFT);
    headless::key(h, 'Q');
    pump();
    EXPECT_EQ(chars(), (std::vector<int>{'a', 'B', '1', ' ', 'z', 'Q', '@', 'q'}));
}

TEST_F(Keys, CtrlLetterTypesControlCharacters) {
    HWND h = create(true);
    headless::key_down(h, VK_CONTROL);
    headless::key(h, 'A');
    headless::key(h, 'Z');
    headless::key_up(h, VK_CONTROL);
    pump();
    EXPECT_EQ(chars(), (std::vector<int>{1, 26}));
}

TEST_F(Keys, CharactersBeyondAsciiComeThrough) {
    HWND h = create(true);
    headless::key(h, 'E', 233);
    headless::type(h, "\xe9");
    pump();
    EXPECT_EQ(chars(), (std::vector<int>{233, 233}));
}

TEST_F(Keys, KeysThatTypeNothingAndTextWithoutKeys) {
    HWND h = create(true);
    win32::input_key(h, 'K', true, -1); // the display sends the text separately
    win32::input_char(h, 'k');
    win32::input_key(h, 'K', false, 0);
    headless::key(h, VK_LEFT);
    pump();
    EXPECT_EQ(chars(), (std::vector<int>{'k'}));
}

TEST_F(Keys, APostedKeyDownTranslatesLikeTheOriginalForItsOwnWindow) {
    HWND target = create(true);
    HWND source = create(true);
    // The source forwards its key messages, as a companion window passes them on. The
    // handle copies: the handler outlives this body (the windows are destroyed in TearDown).
    handler = [target, source](HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT *result) {
        if (w != source || (msg != WM_KEYDOWN && msg != WM_KEYUP))
            return false;
        PostMessageA(target, msg, wp, lp);
        *result = 0;
        return true;
    };
    headless::key(source, 'E', 233);
    headless::key_down(source, VK_SHIFT);
    headless::key(source, 'R');
    headless::key_up(source, VK_SHIFT);
    pump();
    EXPECT_EQ(chars(source), (std::vector<int>{233, 'R'}));
    EXPECT_EQ(chars(target), (std::vector<int>{233, 'R'}));
}

TEST_F(Keys, KeyStateFollowsRetrievedMessages) {
    HWND h = create(true);
    headless::key_down(h, VK_CONTROL);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0) << "not retrieved yet";
    pump();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    headless::key_up(h, VK_CONTROL);
    pump();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 1, 1) << "toggled by one press";
    headless::key_down(h, VK_LSHIFT);
    pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0) << "either shift key holds shift";
}

} // namespace
