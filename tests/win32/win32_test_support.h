// Conformance-test support: a window class whose procedure records what it receives, a
// fixture that cleans up every window and queued message, and the mark for a known
// difference between our subset and the real platform. Only Win32 API and GoogleTest here,
// so the tests build for Windows too.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Our own subset, as opposed to a real implementation (Windows, or Wine).
#ifdef _WIN32
constexpr bool on_subset = false;
#else
constexpr bool on_subset = true;
#endif

// `holds` is true on the real platform and known to be false on the subset. Like a pending
// test mark, it fails on the subset once the difference is gone, so the mark gets removed.
#define EXPECT_REAL_PLATFORM_ONLY(holds)                                                                     \
    do {                                                                                                     \
        if (on_subset)                                                                                       \
            EXPECT_FALSE(holds) << "known difference gone on the subset; drop the mark: " #holds;            \
        else                                                                                                 \
            EXPECT_TRUE(holds);                                                                              \
    } while (0)

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

inline std::string message_name(UINT m) {
    switch (m) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_SIZE: return "WM_SIZE";
    case WM_PAINT: return "WM_PAINT";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_QUIT: return "WM_QUIT";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_GETMINMAXINFO: return "WM_GETMINMAXINFO";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_TIMER: return "WM_TIMER";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    default: break;
    }
    char buf[32];
    if (m >= WM_USER && m < WM_USER + 0x100)
        std::snprintf(buf, sizeof buf, "WM_USER+%u", m - WM_USER);
    else
        std::snprintf(buf, sizeof buf, "0x%04x", m);
    return buf;
}

// "WM_CREATE WM_SIZE ...": a sequence as one string, so a mismatch shows both in full.
inline std::string sequence(const std::vector<UINT> &messages) {
    std::string s;
    for (UINT m : messages)
        s += (s.empty() ? "" : " ") + message_name(m);
    return s;
}

class Win32Test : public ::testing::Test {
  protected:
    static constexpr const char *class_name = "Win32TestRecorder";
    static constexpr const char *bare_class_name = "Win32TestNoBrush";

    // Messages the sequences are made of; a real platform sends many others around them.
    std::vector<UINT> watched{WM_NCCREATE,   WM_CREATE, WM_SIZE,     WM_DESTROY,  WM_NCDESTROY,
                              WM_CLOSE,      WM_PAINT,  WM_TIMER,    WM_CHAR,     WM_ERASEBKGND,
                              WM_SYSCOMMAND, WM_USER,   WM_USER + 1, WM_USER + 2, WM_USER + 3};
    std::vector<Received> received;
    // Runs before the recorder's default handling; returning true skips it, with *result.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> handler;
    std::vector<HWND> made;

    void SetUp() override {
        current() = this;
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = nullptr;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = class_name;
        RegisterClassA(&wc); // already there from an earlier test of this process: fine
        wc.hbrBackground = nullptr;
        wc.lpszClassName = bare_class_name;
        RegisterClassA(&wc);
    }

    void TearDown() override {
        for (HWND h : made)
            if (IsWindow(h))
                DestroyWindow(h);
        MSG m;
        for (int i = 0; i < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        }
        current() = nullptr;
    }

    HWND create(bool visible = false, const char *cls = class_name, DWORD style = WS_OVERLAPPEDWINDOW) {
        HWND h = CreateWindowExA(0, cls, "test", style, 10, 20, 200, 150, nullptr, nullptr, nullptr, nullptr);
        made.push_back(h);
        if (h && visible) {
            ShowWindow(h, SW_SHOW);
            settle(h);
        }
        return h;
    }

    // Lets a shown window finish its first paint and whatever else the platform sends around
    // it, then forgets all of that.
    void settle(HWND h) {
        UpdateWindow(h);
        pump();
        received.clear();
    }

    // Retrieves and dispatches until nothing is ready; the messages retrieved, in order
    // (watched ones only; WM_QUIT included, though it is never dispatched).
    std::vector<UINT> pump(int limit = 100) {
        std::vector<UINT> got;
        MSG m;
        for (int i = 0; i < limit && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (is_watched(m.message) || m.message == WM_QUIT)
                got.push_back(m.message);
            if (m.message == WM_QUIT)
                continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        return got;
    }

    // What the window procedures received (watched messages only), then forgets it.
    std::vector<UINT> take_received(HWND only = nullptr) {
        std::vector<UINT> out;
        for (const Received &r : received)
            if (!only || r.hwnd == only)
                out.push_back(r.message);
        received.clear();
        return out;
    }

    int count_received(UINT message) const {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
                                              [&](const Received &r) { return r.message == message; }));
    }

    bool is_watched(UINT m) const { return std::find(watched.begin(), watched.end(), m) != watched.end(); }

  private:
    // The window procedure's way back to the running test.
    static Win32Test *&current() {
        static Win32Test *test = nullptr;
        return test;
    }

    static LRESULT CALLBACK proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
        Win32Test *t = current();
        if (!t)
            return DefWindowProcA(h, msg, w, l);
        if (t->is_watched(msg))
            t->received.push_back(Received{h, msg, w, l});
        LRESULT result = 0;
        if (t->handler && t->handler(h, msg, w, l, &result))
            return result;
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            EndPaint(h, &ps);
            return 0;
        }
        return DefWindowProcA(h, msg, w, l);
    }
};
