// The paint cycle: invalid areas merge into one WM_PAINT, BeginPaint validates and reports
// erasing through fErase, hidden windows are not painted, UpdateWindow paints at once.
#include "win32_test_support.h"

namespace {

class Painting : public Win32Test {
  protected:
    std::vector<PAINTSTRUCT> paints;

    // Records each paint cycle's PAINTSTRUCT as BeginPaint hands it out.
    void record_paints() {
        handler = [this](HWND h, UINT msg, WPARAM, LPARAM, LRESULT *result) {
            if (msg != WM_PAINT)
                return false;
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            paints.push_back(ps);
            EndPaint(h, &ps);
            *result = 0;
            return true;
        };
    }
};

TEST_F(Painting, InvalidAreasMergeIntoOnePaint) {
    HWND h = create(true);
    record_paints();
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(h, &a, FALSE);
    InvalidateRect(h, &b, FALSE);
    EXPECT_EQ(sequence(pump()), sequence({WM_PAINT}));
    ASSERT_EQ(paints.size(), 1u);
    const RECT &r = paints[0].rcPaint;
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 40);
    EXPECT_EQ(r.bottom, 20);
    EXPECT_FALSE(paints[0].fErase);
}

TEST_F(Painting, EraseIsAskedOfTheWindowAndReportedInFErase) {
    HWND with_brush = create(true);
    HWND without_brush = create(true, bare_class_name);
    record_paints();

    InvalidateRect(with_brush, nullptr, TRUE);
    pump();
    EXPECT_EQ(count_received(WM_ERASEBKGND), 1);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_FALSE(paints[0].fErase) << "the class brush erased it";

    received.clear();
    paints.clear();
    InvalidateRect(without_brush, nullptr, FALSE);
    InvalidateRect(without_brush, nullptr, TRUE); // erase accumulates
    InvalidateRect(without_brush, nullptr, FALSE);
    pump();
    EXPECT_EQ(count_received(WM_ERASEBKGND), 1);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_TRUE(paints[0].fErase) << "no brush: still to be erased";
}

TEST_F(Painting, APaintThatDoesNotValidateComesAgain) {
    HWND h = create(true);
    int paints_seen = 0;
    handler = [&](HWND w, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_PAINT)
            return false;
        if (++paints_seen == 2)
            ValidateRect(w, nullptr);
        *result = 0;
        return true;
    };
    InvalidateRect(h, nullptr, FALSE);
    EXPECT_EQ(sequence(pump()), sequence({WM_PAINT, WM_PAINT}));
}

TEST_F(Painting, ValidatedAndHiddenWindowsGetNoPaintUntilShown) {
    HWND h = create(true);
    InvalidateRect(h, nullptr, TRUE);
    ValidateRect(h, nullptr);
    EXPECT_EQ(sequence(pump()), "");

    HWND hidden = create(false);
    received.clear();
    InvalidateRect(hidden, nullptr, TRUE);
    EXPECT_EQ(sequence(pump()), "");
    ShowWindow(hidden, SW_SHOW);
    EXPECT_EQ(sequence(pump()), sequence({WM_PAINT}));
}

TEST_F(Painting, ALookFilteredToOneWindowLeavesAnothersPaint) {
    HWND a = create(true), b = create(true);
    InvalidateRect(b, nullptr, FALSE);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, a, WM_PAINT, WM_PAINT, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(m.hwnd, b);
}

TEST_F(Painting, ShowingAWindowPaintsItWithErase) {
    HWND h = create(false);
    received.clear();
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(h));
    UpdateWindow(h);
    pump();
    EXPECT_EQ(count_received(WM_PAINT), 1);
    EXPECT_EQ(count_received(WM_ERASEBKGND), 1);
    EXPECT_TRUE(ShowWindow(h, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(Painting, UpdateWindowPaintsAtOnce) {
    HWND h = create(true);
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
    EXPECT_EQ(sequence(take_received(h)), sequence({WM_PAINT}));
    UpdateWindow(h); // nothing invalid any more
    EXPECT_EQ(sequence(take_received(h)), "");
    EXPECT_EQ(sequence(pump()), "");
}

// The class brush's erase shows wherever the paint copies nothing, from a colour or a
// monochrome bitmap, to a read inside the paint and after it.
TEST_F(Painting, TheEraseShowsWhereThePaintCopiesNothing) {
    HWND h = create(true);
    RECT client;
    GetClientRect(h, &client);
    const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128), blue = RGB(0, 0, 255);
    struct Case {
        int copy_width;
        bool mono;
    } cases[] = {{0, false},
                 {client.right / 2, false},
                 {client.right, false},
                 {client.right / 2, true},
                 {client.right, true}};
    for (const Case &c : cases) {
        HDC dc = GetDC(h);
        HBRUSH brush = CreateSolidBrush(grey);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        ReleaseDC(h, dc);
        COLORREF during = CLR_INVALID;
        handler = [&](HWND w, UINT msg, WPARAM, LPARAM, LRESULT *result) {
            if (msg != WM_PAINT)
                return false;
            PAINTSTRUCT ps;
            HDC paint = BeginPaint(w, &ps);
            HDC mem = CreateCompatibleDC(paint);
            HBITMAP image = CreateCompatibleBitmap(c.mono ? mem : paint, client.right, client.bottom);
            HGDIOBJ old = SelectObject(mem, image);
            HBRUSH fill = CreateSolidBrush(c.mono ? RGB(0, 0, 0) : blue);
            FillRect(mem, &client, fill);
            DeleteObject(fill);
            if (c.copy_width)
                BitBlt(paint, 0, 0, c.copy_width, client.bottom, mem, 0, 0, SRCCOPY);
            during = GetPixel(paint, client.right - 1, 0);
            SelectObject(mem, old);
            DeleteObject(image);
            DeleteDC(mem);
            EndPaint(w, &ps);
            *result = 0;
            return true;
        };
        InvalidateRect(h, nullptr, TRUE);
        pump();
        handler = nullptr;
        const COLORREF copied = c.mono ? RGB(0, 0, 0) : blue;
        HDC check = GetDC(h);
        EXPECT_EQ(during, c.copy_width == client.right ? copied : white)
            << c.copy_width << (c.mono ? " mono" : "");
        EXPECT_EQ(GetPixel(check, 0, client.bottom - 1), c.copy_width ? copied : white) << c.copy_width;
        EXPECT_EQ(GetPixel(check, client.right - 1, client.bottom - 1),
                  c.copy_width == client.right ? copied : white)
            << c.copy_width << (c.mono ? " mono" : "");
        ReleaseDC(h, check);
    }
}

TEST_F(Painting, WindowDcsComeAndGo) {
    HWND h = create(true);
    HDC dc = GetDC(h);
    ASSERT_TRUE(dc);
    EXPECT_EQ(ReleaseDC(h, dc), 1);
}

} // namespace
