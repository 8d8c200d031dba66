// The SDL2 display on SDL's dummy video driver: host windows follow the subset's windows,
// host events arrive as the messages the real platform would send, presented pixels reach
// the host window. Skipped in builds without the SDL2 display.
#include "display.h"
#include "win32_headless.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if __has_include(<SDL2/SDL.h>)
#include <SDL2/SDL.h>
// Builds without the SDL2 display do not link SDL; these tests then skip before any call.
#pragma weak SDL_PushEvent
#pragma weak SDL_GetWindowFromID
#pragma weak SDL_GetWindowTitle
#pragma weak SDL_GetWindowSize
#pragma weak SDL_GetWindowMaximumSize
#pragma weak SDL_GetWindowSurface
#pragma weak SDL_GetRGB

namespace {

LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

struct Seen {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
};

class Sdl2Display : public ::testing::Test {
  public:
    void SetUp() override {
        headless::reset();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        display = win32::open_sdl2_display();
        if (!display)
            GTEST_SKIP() << "built without the SDL2 display";
        win32::select_display(display);
        current = this;
        WNDCLASSA wc{};
        wc.lpfnWndProc = record_proc;
        wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
        wc.lpszClassName = "Sdl2Test";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "Sdl2Test", "Caf\xe9", WS_OVERLAPPEDWINDOW, 0, 550, 601, 192, nullptr,
                               nullptr, nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        pump();
        seen.clear();
    }
    void TearDown() override {
        current = nullptr;
        headless::reset();
    }

    // The host window behind hwnd, found by the title the display gave it.
    SDL_Window *host() {
        for (Uint32 id = 1; id < 256; ++id)
            if (SDL_Window *w = SDL_GetWindowFromID(id))
                if (std::string(SDL_GetWindowTitle(w)) == "Caf\xc3\xa9")
                    return w;
        return nullptr;
    }
    Uint32 host_id() {
        for (Uint32 id = 1; id < 256; ++id)
            if (SDL_GetWindowFromID(id) == host())
                return id;
        return 0;
    }

    // Retrieves, translates and dispatches everything that is ready.
    void pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }

    void key(SDL_Keycode sym, SDL_Scancode sc, bool down, Uint16 mod = 0) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = host_id();
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = sc;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void text(const char *utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = host_id();
        std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
        SDL_PushEvent(&e);
    }
    void window_event(Uint8 what, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = host_id();
        e.window.event = what;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }

    std::vector<WPARAM> of(UINT msg) const {
        std::vector<WPARAM> out;
        for (const Seen &s : seen)
            if (s.msg == msg)
                out.push_back(s.wparam);
        return out;
    }

    static Sdl2Display *current;
    const win32::Display *display = nullptr;
    HWND hwnd = nullptr;
    std::vector<Seen> seen;
};

Sdl2Display *Sdl2Display::current = nullptr;

LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (Sdl2Display::current && (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_SIZE ||
                                 msg == WM_LBUTTONDOWN || msg == WM_DESTROY))
        Sdl2Display::current->seen.push_back(Seen{msg, wparam, lparam});
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

TEST_F(Sdl2Display, HostWindowHasTheTitleAndOuterSize) {
    SDL_Window *w = host();
    ASSERT_NE(w, nullptr); // the ANSI title arrives as UTF-8
    int width = 0, height = 0;
    SDL_GetWindowSize(w, &width, &height);
    EXPECT_EQ(width, 601);
    EXPECT_EQ(height, 192);
}

TEST_F(Sdl2Display, KeyAndItsTextArriveAsOneKeyDownThatTypesTheCharacter) {
    key(SDLK_e, SDL_SCANCODE_E, true);
    text("\xc3\xa9"); // e-acute, from a dead key or a layout that has it
    key(SDLK_e, SDL_SCANCODE_E, false);
    key(SDLK_x, SDL_SCANCODE_X, true, KMOD_LSHIFT);
    text("X");
    pump();
    EXPECT_EQ(of(WM_KEYDOWN), (std::vector<WPARAM>{'E', 'X'}));
    EXPECT_EQ(of(WM_KEYUP), std::vector<WPARAM>{'E'});
    EXPECT_EQ(of(WM_CHAR), (std::vector<WPARAM>{233, 'X'})); // Windows-1252, one each
}

TEST_F(Sdl2Display, CtrlLetterIsAKeyDownWithCtrlHeld) {
    key(SDLK_RCTRL, SDL_SCANCODE_RCTRL, true, KMOD_RCTRL);
    key(SDLK_l, SDL_SCANCODE_L, true, KMOD_RCTRL); // SDL types no text for it
    key(SDLK_l, SDL_SCANCODE_L, false, KMOD_RCTRL);
    key(SDLK_RCTRL, SDL_SCANCODE_RCTRL, false);
    pump();
    EXPECT_EQ(of(WM_KEYDOWN), (std::vector<WPARAM>{VK_CONTROL, 'L'}));
    EXPECT_EQ(of(WM_KEYUP), (std::vector<WPARAM>{'L', VK_CONTROL}));
    EXPECT_EQ(of(WM_CHAR), std::vector<WPARAM>{12});
}

TEST_F(Sdl2Display, KeysWithoutTextAndTextWithoutKeys) {
    key(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
    key(SDLK_LEFT, SDL_SCANCODE_LEFT, true);
    key(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, true);
    text(";");
    text("\xe2\x82\xac\xe4\xb8\xad"); // the euro sign, then a character Windows-1252 lacks
    pump();
    EXPECT_EQ(of(WM_KEYDOWN), (std::vector<WPARAM>{VK_RETURN, VK_LEFT, 0xBA}));
    EXPECT_EQ(of(WM_CHAR), (std::vector<WPARAM>{'\r', ';', 0x80, '?'}));
}

TEST_F(Sdl2Display, ClicksArriveInClientCoordinates) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = host_id();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 12;
    e.button.y = 34;
    SDL_PushEvent(&e);
    pump();
    ASSERT_EQ(of(WM_LBUTTONDOWN).size(), 1u);
    LPARAM at = seen.back().lparam;
    EXPECT_EQ(LOWORD(at), 12);
    EXPECT_EQ(HIWORD(at), 34);
}

TEST_F(Sdl2Display, ResizingTheHostWindowSendsWmSize) {
    window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 601, 300);
    pump();
    ASSERT_FALSE(of(WM_SIZE).empty());
    EXPECT_EQ(seen.back().lparam, MAKELPARAM(601, 300));
    RECT r;
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.bottom, 300);
}

// Another client sized the host window far past the screen: the host is told the largest
// size and taken back to it.
TEST_F(Sdl2Display, AnOversizedHostWindowIsTakenBackToItsBounds) {
    window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 32000, 32000);
    pump();
    const int max_w = GetSystemMetrics(SM_CXMAXTRACK), max_h = GetSystemMetrics(SM_CYMAXTRACK);
    int width = 0, height = 0;
    SDL_GetWindowSize(host(), &width, &height);
    EXPECT_EQ(width, max_w);
    EXPECT_EQ(height, max_h);
    SDL_GetWindowMaximumSize(host(), &width, &height);
    EXPECT_EQ(width, max_w);
    EXPECT_EQ(height, max_h);
    RECT r;
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, max_w);
    EXPECT_EQ(r.bottom, max_h);
}

TEST_F(Sdl2Display, CloseButtonDestroysTheWindowAndItsHostWindow) {
    window_event(SDL_WINDOWEVENT_CLOSE);
    pump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(of(WM_DESTROY).size(), 1u);
    EXPECT_EQ(host(), nullptr);
}

TEST_F(Sdl2Display, PaintedPixelsReachTheHostWindow) {
    HDC dc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 255));
    RECT r{10, 20, 30, 40};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
    display->pump_input(); // presents are shown no later than the next pump
    SDL_Surface *s = SDL_GetWindowSurface(host());
    ASSERT_NE(s, nullptr);
    auto pixel = [&](int x, int y) {
        Uint32 p = *reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(s->pixels) + y * s->pitch + x * 4);
        Uint8 red, green, blue;
        SDL_GetRGB(p, s->format, &red, &green, &blue);
        return RGB(red, green, blue);
    };
    EXPECT_EQ(pixel(15, 25), RGB(0, 255, 255));
    EXPECT_EQ(pixel(30, 40), RGB(255, 255, 255));
}

} // namespace

#else
TEST(Sdl2Display, NeedsTheSdl2Headers) {
    GTEST_SKIP() << "SDL2 headers not installed";
}
#endif
