// GDI32 internals on the headless display: live object and DC counts, DeleteObject of a
// selected object waiting for its DC, injected creation failures, the font cache, window
// DCs drawing into the client area, and coordinates at the limits of int.
#include "win32_audit.h"
#include "win32_headless.h"

#include "font_cache.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

namespace {

class Gdi32Audit : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }

    // A memory DC over a w x h 32-bit bitmap, all white.
    HDC canvas(int w, int h) {
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, CreateBitmap(w, h, 1, 32, nullptr));
        RECT all = {0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return dc;
    }
    static int count_colour(HDC dc, int w, int h, COLORREF c) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += GetPixel(dc, x, y) == c;
        return n;
    }
};

TEST_F(Gdi32Audit, LiveCountsFollowCreationAndDeletion) {
    win32::LiveCounts start = win32::live_counts();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(dc, 8, 8);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH brush = CreateSolidBrush(0);
    HFONT font = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "x");
    EXPECT_EQ(win32::live_counts().gdi_objects, start.gdi_objects + 4);
    EXPECT_EQ(win32::live_counts().dcs, start.dcs + 1);
    GetStockObject(WHITE_PEN); // stock objects are not counted
    CreateCompatibleBitmap(dc, 0, 5);
    EXPECT_EQ(win32::live_counts().gdi_objects, start.gdi_objects + 4);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(b), static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush),
                      static_cast<HGDIOBJ>(font)})
        EXPECT_TRUE(DeleteObject(o));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(win32::live_counts(), start);
    EXPECT_FALSE(DeleteObject(pen)); // already gone
    EXPECT_FALSE(DeleteDC(dc));
}

TEST_F(Gdi32Audit, DeletingASelectedObjectWaitsForItsDc) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HGDIOBJ old = SelectObject(dc, pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(win32::live_counts().gdi_objects, 1);
    EXPECT_EQ(SelectObject(dc, old), pen);
    EXPECT_EQ(win32::live_counts().gdi_objects, 0);
    HBITMAP b = CreateCompatibleBitmap(dc, 4, 4);
    SelectObject(dc, b);
    DeleteObject(b);
    DeleteDC(dc); // the DC's end lets go of the bitmap too
    EXPECT_EQ(win32::live_counts().gdi_objects, 0);
    EXPECT_EQ(win32::live_counts().dcs, 0);
}

TEST_F(Gdi32Audit, InjectedFailuresMakeCreationReturnNull) {
    win32::fail_next_gdi_object();
    EXPECT_EQ(CreatePen(PS_SOLID, 1, 0), nullptr);
    win32::fail_next_gdi_object(1);
    HBRUSH first = CreateSolidBrush(0);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(CreateFontA(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr), nullptr);
    win32::fail_next_dc();
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    win32::fail_next_gdi_object();
    EXPECT_EQ(CreateCompatibleBitmap(dc, 4, 4), nullptr);
    DeleteObject(first);
    DeleteDC(dc);
    EXPECT_EQ(win32::live_counts(), win32::LiveCounts{});
}

TEST_F(Gdi32Audit, FontFacesAreLoadedOnceNotPerCall) {
    HDC dc = canvas(100, 30);
    win32::gdi::reset_font_cache();
    for (int i = 0; i < 50; ++i) {
        HFONT f = CreateFontA(-14, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "KELPA-font");
        HGDIOBJ old = SelectObject(dc, f);
        SIZE s;
        GetTextExtentPointA(dc, "Hello", 5, &s);
        TextOutA(dc, 0, 0, "Hello", 5);
        SelectObject(dc, old);
        DeleteObject(f);
    }
    EXPECT_EQ(win32::gdi::font_face_loads(), 1);
}

TEST_F(Gdi32Audit, WindowDcDrawsIntoTheClientAreaAndNothingOnceTheWindowIsGone) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "GdiAuditClass";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "GdiAuditClass", "t", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr,
                             nullptr, nullptr);
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
    HDC dc = GetDC(h);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    HBITMAP frame = CreateCompatibleBitmap(dc, 10, 10);
    BITMAP bm{};
    GetObjectA(frame, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 0, 0, 3, 3);
    EXPECT_EQ(headless::pixel(h, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(headless::pixel(h, 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(headless::pixel(h, 3, 3), RGB(255, 255, 255));
    DestroyWindow(h);
    Rectangle(dc, 0, 0, 3, 3); // no window: nothing to draw into
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    ReleaseDC(h, dc);
    DeleteObject(frame);
}

TEST_F(Gdi32Audit, CoordinatesAtTheLimitsDrawWhatIsInside) {
    HDC dc = canvas(40, 30);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(count_colour(dc, 40, 30, RGB(0, 0, 0)), 40 * 30);
    RECT all = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(count_colour(dc, 40, 30, RGB(255, 255, 255)), 40 * 30);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, INT_MIN, 5, nullptr);
    LineTo(dc, INT_MAX, 5);
    EXPECT_EQ(count_colour(dc, 40, 30, RGB(0, 0, 0)), 40);
    MoveToEx(dc, INT_MIN, INT_MIN, nullptr);
    LineTo(dc, INT_MAX, INT_MAX); // passes near the corner, must finish at once
    HPEN wide = CreatePen(PS_SOLID, 5, RGB(0, 0, 0));
    SelectObject(dc, wide);
    MoveToEx(dc, INT_MAX, INT_MIN, nullptr);
    LineTo(dc, INT_MIN, INT_MAX);
    Ellipse(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    Ellipse(dc, -100000000, 10, 100000000, 20);
    POINT tri[3] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
    Polygon(dc, tri, 3);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
    SetPixel(dc, INT_MIN, INT_MAX, 0);
    BitBlt(dc, INT_MAX, INT_MIN, INT_MAX, INT_MAX, dc, INT_MIN, INT_MAX, SRCCOPY);
    ScrollDC(dc, INT_MAX, INT_MIN, nullptr, nullptr, nullptr, nullptr);
    TextOutA(dc, INT_MAX, INT_MIN, "far", 3);
    TextOutA(dc, INT_MIN, 0, "far", 3);
    EXPECT_GT(count_colour(dc, 40, 30, RGB(0, 0, 0)), 40);
}

TEST_F(Gdi32Audit, ResetForgetsEverything) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, CreateCompatibleBitmap(dc, 5, 5));
    CreatePen(PS_SOLID, 3, 0);
    headless::reset();
    EXPECT_EQ(win32::live_counts(), win32::LiveCounts{});
    EXPECT_EQ(GetBkColor(dc), CLR_INVALID);
    EXPECT_NE(GetStockObject(BLACK_PEN), nullptr);
}

} // namespace
