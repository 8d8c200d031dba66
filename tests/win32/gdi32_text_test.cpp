// Text contracts: font heights as CreateFontA reads them, metrics and extents that agree
// with each other, the widths of the face that stands in for an unknown name, TextOutA's cell
// at the given point, OPAQUE filling exactly the run's cells and TRANSPARENT painting glyphs
// only, Windows-1252 bytes, whole glyphs on one-bit bitmaps.
#include "gdi_test_support.h"

#include <cstring>
#include <vector>

namespace {

class Text : public GdiTest {
  protected:
    void SetUp() override { open(120, 40); }

    SIZE extent(const char *s) const {
        SIZE size{};
        GetTextExtentPoint32A(dc, s, static_cast<int>(strlen(s)), &size);
        return size;
    }
    TEXTMETRICA metrics() const {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        return tm;
    }
    HFONT font(int height, const char *face = "KELPA-font") {
        return keep(CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face));
    }
    // Non-background pixels inside and outside the box [l, r) x [t, b).
    void count(int l, int t, int r, int b, int *inside, int *outside) const {
        *inside = *outside = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x)
                if (GetPixel(dc, x, y) != kBackground)
                    ++(x >= l && x < r && y >= t && y < b ? *inside : *outside);
    }
};

TEST_F(Text, FixedFontMetricsAndExtentsAgree) {
    SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm = metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 10);
    EXPECT_LE(tm.tmHeight, 16);
    EXPECT_EQ(extent("iii").cx, extent("WWW").cx); // fixed pitch
    EXPECT_EQ(extent("AB").cx, extent("A").cx + extent("B").cx);
    EXPECT_EQ(extent("AB").cy, tm.tmHeight);
    EXPECT_EQ(extent("").cx, 0);
    EXPECT_EQ(extent("").cy, 0);
}

TEST_F(Text, NegativeHeightIsTheEmPositiveTheCell) {
    SelectObject(dc, font(20));
    EXPECT_EQ(metrics().tmHeight, 20);
    SelectObject(dc, font(-20));
    EXPECT_GT(metrics().tmHeight, 20); // the cell adds the accents' and descenders' room
    SelectObject(dc, font(0));
    EXPECT_GT(metrics().tmHeight, 8); // a default size, not nothing
}

TEST_F(Text, UnknownFaceStillGivesAFont) {
    HFONT f = font(-14, "No Such Face At All");
    ASSERT_NE(f, nullptr);
    SelectObject(dc, f);
    EXPECT_GT(extent("Hello").cx, 0);
}

// The real font mapper puts Arial in the place of an unknown name; a face with Arial's widths
// makes the game's labels as wide as there, and the six-digit score (at x 516 of a 601-pixel
// window) end inside it. The figures are the real GDI32's under Wine.
TEST_F(Text, UnknownFaceHasTheWidthsOfTheRealSubstitute) {
    const struct {
        int height;
        const char *text;
        LONG width;
    } runs[] = {{-12, "Change Color", 77},   {-12, "Restart", 39},    {-12, "Change Level", 77},
                {-12, " Points 123456", 82}, {-12, " Health 50", 56}, {-48, "GAME OVER", 290}};
    for (const auto &r : runs) {
        SelectObject(dc, font(r.height));
        EXPECT_NEAR(extent(r.text).cx, r.width, 1) << r.text;
    }
    SelectObject(dc, font(-12));
    EXPECT_EQ(metrics().tmHeight, 14);
}

TEST_F(Text, OpaqueFillsExactlyTheRunsCells) {
    SelectObject(dc, font(-14));
    SetBkColor(dc, kBrush);
    SetTextColor(dc, kPen);
    SIZE s = extent("  ");
    TextOutA(dc, 10, 5, "  ", 2);
    int inside = 0, outside = 0;
    count(10, 5, 10 + s.cx, 5 + s.cy, &inside, &outside);
    EXPECT_EQ(inside, s.cx * s.cy);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(GetPixel(dc, 10, 5), kBrush); // the cell's top-left is the given point
}

TEST_F(Text, TransparentPaintsGlyphsOnlyInsideTheCell) {
    SelectObject(dc, font(-14));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 10, 5, " ", 1);
    EXPECT_EQ(painted(), 0);
    SIZE s = extent("Hxb");
    TextOutA(dc, 10, 5, "Hxb", 3);
    int inside = 0, outside = 0;
    count(10, 5, 10 + s.cx, 5 + s.cy, &inside, &outside);
    EXPECT_GT(inside, 20);
    EXPECT_LT(inside, s.cx * s.cy / 2); // glyphs, not a filled cell
    EXPECT_EQ(outside, 0);
}

TEST_F(Text, BytesAreWindows1252) {
    SelectObject(dc, font(-16));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 2, 2, "\xE9", 1); // e acute
    int acute = painted();
    open(120, 40);
    SelectObject(dc, font(-16));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 2, 2, "e", 1);
    EXPECT_GT(acute, painted());     // the same letter with its accent
    EXPECT_GT(extent("\x80").cx, 0); // the euro sign, at 0x80 in this code page
}

TEST_F(Text, TextOnAMonochromeBitmapIsBlackOrWhite) {
    HDC m = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(m, 60, 20));
    HGDIOBJ old = SelectObject(m, mono);
    SelectObject(m, GetStockObject(ANSI_FIXED_FONT));
    TextOutA(m, 1, 1, "Log", 3); // black on the opaque white cell
    int black = 0, white = 0, other = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            COLORREF p = GetPixel(m, x, y);
            ++(p == 0 ? black : p == RGB(255, 255, 255) ? white : other);
        }
    EXPECT_GT(white, 0);
    EXPECT_GT(black, 0);
    EXPECT_EQ(other, 0);
    SelectObject(m, old);
    DeleteDC(m);
}

// Glyphs drawn on a one-bit bitmap are rendered for it, not cut from grey levels: every
// stroke of a one-piece glyph stays joined, so "(" is not a bar and "b" not an "o". Each
// glyph alone must be one 8-connected piece of black.
TEST_F(Text, GlyphsOnAOneBitBitmapAreWholePieces) {
    constexpr int W = 24, H = 24;
    HDC m = CreateCompatibleDC(nullptr);
    HBITMAP mono = keep(CreateCompatibleBitmap(m, W, H));
    HGDIOBJ old_bitmap = SelectObject(m, mono);
    HGDIOBJ old_font = GetCurrentObject(m, OBJ_FONT);
    const HGDIOBJ fonts[] = {GetStockObject(ANSI_FIXED_FONT), font(-8), font(-10), font(-12), font(-13)};
    for (int k = 0; k < 5; ++k)
        for (const char *c = "()bdlK1,o-"; *c; ++c) {
            SelectObject(m, fonts[k]);
            RECT all = {0, 0, W, H};
            FillRect(m, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            TextOutA(m, 4, 4, c, 1);
            std::vector<int> piece(W * H, -1); // -1 white, 0 black not reached, 1 reached
            int first = -1, black = 0;
            for (int i = 0; i < W * H; ++i)
                if (GetPixel(m, i % W, i / W) == RGB(0, 0, 0)) {
                    piece[i] = 0, ++black;
                    first = first < 0 ? i : first;
                }
            ASSERT_GT(black, 0) << "'" << *c << "' in font " << k;
            std::vector<int> todo = {first};
            piece[first] = 1;
            int reached = 1;
            while (!todo.empty()) {
                int i = todo.back();
                todo.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int x = i % W + dx, y = i / W + dy;
                        if (x >= 0 && y >= 0 && x < W && y < H && piece[y * W + x] == 0) {
                            piece[y * W + x] = 1, ++reached;
                            todo.push_back(y * W + x);
                        }
                    }
            }
            EXPECT_EQ(reached, black) << "'" << *c << "' falls apart in font " << k;
        }
    SelectObject(m, old_font);
    SelectObject(m, old_bitmap);
    DeleteDC(m);
}

} // namespace
