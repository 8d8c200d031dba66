// Device contexts, bitmaps and transfers: a fresh DC's defaults, the depth of compatible
// bitmaps, selection rules, DeleteObject of stock objects, BitBlt between depths and at the
// edges, and ScrollDC keeping what it uncovers.
#include "gdi_test_support.h"

namespace {

using Bitmaps = GdiTest;

BITMAP describe(HGDIOBJ bitmap) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    return bm;
}

TEST_F(Bitmaps, FreshMemoryDcDefaults) {
    HDC m = CreateCompatibleDC(nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetCurrentObject(m, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(m, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(m, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetBkColor(m), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(m), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(m), OPAQUE);
    EXPECT_EQ(SetPolyFillMode(m, WINDING), ALTERNATE);
    BITMAP bm = describe(GetCurrentObject(m, OBJ_BITMAP));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(SetBkMode(m, TRANSPARENT), OPAQUE);
    EXPECT_EQ(GetBkMode(m), TRANSPARENT);
    EXPECT_EQ(SetTextColor(m, kPen), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(m), kPen);
    DeleteDC(m);
}

TEST_F(Bitmaps, CompatibleBitmapTakesTheDepthOfTheDcsBitmap) {
    HDC fresh = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(fresh, 20, 10));
    BITMAP bm = describe(mono);
    EXPECT_EQ(bm.bmWidth, 20);
    EXPECT_EQ(bm.bmHeight, 10);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP colour = keep(CreateCompatibleBitmap(dc, 5, 6)); // dc holds a 32-bit bitmap
    EXPECT_EQ(describe(colour).bmBitsPixel, 32);
    HBITMAP empty = CreateCompatibleBitmap(dc, 0, 6);
    bm = describe(empty);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteDC(fresh);
}

TEST_F(Bitmaps, SelectionReturnsThePreviousAndABitmapLivesInOneDc) {
    HBITMAP b = keep(CreateBitmap(4, 4, 1, 32, nullptr));
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HGDIOBJ stock = SelectObject(first, b);
    EXPECT_EQ(describe(stock).bmBitsPixel, 1);
    EXPECT_EQ(SelectObject(second, b), nullptr);
    HPEN pen = keep(CreatePen(PS_SOLID, 2, kPen));
    EXPECT_EQ(SelectObject(first, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(first, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(first, stock), b);
    EXPECT_EQ(SelectObject(second, b), stock); // free again once deselected
    SelectObject(second, stock);
    DeleteDC(first);
    DeleteDC(second);
}

TEST_F(Bitmaps, DeletingAStockObjectLeavesItUsable) {
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_PEN)));
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 1, 1, 4, 3);
    expect_picture(0, 0, {".....", ".KK..", ".....", "....."});
}

TEST_F(Bitmaps, MonochromeBitmapStoresBlackOrWhite) {
    HDC m = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(m, 4, 1));
    HGDIOBJ old = SelectObject(m, mono);
    EXPECT_EQ(SetPixel(m, 0, 0, RGB(250, 240, 230)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(m, 1, 0, RGB(20, 30, 40)), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(m, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(m, 1, 0), RGB(0, 0, 0));
    SelectObject(m, old);
    DeleteDC(m);
}

TEST_F(Bitmaps, MonoToColourUsesTextAndBackgroundColours) {
    HDC m = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(m, 3, 1));
    HGDIOBJ old = SelectObject(m, mono);
    SetPixel(m, 0, 0, RGB(0, 0, 0));
    SetPixel(m, 1, 0, RGB(255, 255, 255));
    SetPixel(m, 2, 0, RGB(0, 0, 0));
    SetTextColor(dc, kPen);
    SetBkColor(dc, kBrush);
    BitBlt(dc, 1, 1, 3, 1, m, 0, 0, SRCCOPY);
    expect_picture(0, 0, {".....", ".PBP.", "....."});
    SelectObject(m, old);
    DeleteDC(m);
}

TEST_F(Bitmaps, ColourToMonoTurnsTheSourceBackgroundWhite) {
    SetPixel(dc, 0, 0, kPen);
    SetPixel(dc, 1, 0, kBrush);
    SetPixel(dc, 2, 0, RGB(255, 255, 255));
    SetBkColor(dc, kBrush);
    HDC m = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(m, 3, 1));
    HGDIOBJ old = SelectObject(m, mono);
    BitBlt(m, 0, 0, 3, 1, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(m, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(m, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(m, 2, 0), RGB(0, 0, 0)); // white but not the background colour
    SelectObject(m, old);
    DeleteDC(m);
}

TEST_F(Bitmaps, BlitIsClippedToBothBitmaps) {
    HDC src = CreateCompatibleDC(nullptr);
    HBITMAP b = keep(CreateBitmap(4, 4, 1, 32, nullptr));
    HGDIOBJ old = SelectObject(src, b);
    HBRUSH brush = keep(CreateSolidBrush(kBrush));
    RECT all = {0, 0, 4, 4};
    FillRect(src, &all, brush);
    // Half of the block lies beyond the destination's right edge, half of the source
    // beyond its top edge: only the overlap of both is written.
    BitBlt(dc, 30, 0, 4, 4, src, 0, -2, SRCCOPY);
    expect_picture(28, 0, {"....", "....", "..BB", "..BB", "...."});
    EXPECT_EQ(painted(), 4);
    SelectObject(src, old);
    DeleteDC(src);
}

TEST_F(Bitmaps, ScrollDcMovesEverythingAndKeepsTheUncoveredRows) {
    open(4, 4);
    SetPixel(dc, 0, 2, kPen);
    SetPixel(dc, 1, 3, kBrush);
    EXPECT_TRUE(ScrollDC(dc, 0, -2, nullptr, nullptr, nullptr, nullptr));
    expect_picture(0, 0, {"P...", ".B..", "P...", ".B.."});
    ScrollDC(dc, 1, 0, nullptr, nullptr, nullptr, nullptr);
    expect_picture(0, 0, {"PP..", "..B.", "PP..", "..B."});
}

} // namespace
