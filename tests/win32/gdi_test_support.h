// Pixel-contract support for the GDI32 conformance tests: a fresh 32-bit memory bitmap
// filled with a known background, pens and brushes in known colours, and a picture of a
// region as rows of letters that a test compares with the expected rows.
// On a mismatch both pictures are written beside the build (<test>.actual.txt/.expected.txt).
// Only Win32 API and GoogleTest here, so the tests build for Windows too.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

// Our own subset, as opposed to a real implementation (Windows, or Wine).
#ifdef _WIN32
constexpr bool gdi_on_subset = false;
#else
constexpr bool gdi_on_subset = true;
#endif

constexpr COLORREF kBackground = RGB(200, 200, 200);
constexpr COLORREF kPen = RGB(255, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 255);

class GdiTest : public ::testing::Test {
  protected:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    std::vector<HGDIOBJ> created;

    void SetUp() override { open(32, 32); }

    void TearDown() override {
        close();
        for (HGDIOBJ o : created)
            DeleteObject(o);
        created.clear();
    }

    // A memory DC over a fresh w x h 32-bit bitmap, all background.
    void open(int w, int h) {
        close();
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(w, h, 1, 32, nullptr);
        old_bitmap = SelectObject(dc, bitmap);
        HBRUSH b = CreateSolidBrush(kBackground);
        RECT all = {0, 0, w, h};
        FillRect(dc, &all, b);
        DeleteObject(b);
    }

    void close() {
        if (!dc)
            return;
        SelectObject(dc, old_bitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        dc = nullptr;
    }

    template <typename T> T keep(T object) {
        created.push_back(object);
        return object;
    }

    // Selects a solid pen of kPen (width < 0: the null pen) and kBrush or the null brush.
    void use(int pen_width, bool filled) {
        HPEN pen = keep(pen_width < 0 ? CreatePen(PS_NULL, 0, 0) : CreatePen(PS_SOLID, pen_width, kPen));
        SelectObject(dc, pen);
        SelectObject(dc, filled ? static_cast<HGDIOBJ>(keep(CreateSolidBrush(kBrush)))
                                : GetStockObject(NULL_BRUSH));
    }

    // Rows of the region at (x, y), w x h: '.' background, 'P' pen, 'B' brush, 'K' black,
    // 'W' white, '?' anything else.
    std::string picture(int x, int y, int w, int h) const {
        std::string s;
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                COLORREF p = GetPixel(dc, x + c, y + r);
                s += p == kBackground ? '.'
                     : p == kPen      ? 'P'
                     : p == kBrush    ? 'B'
                     : p == 0         ? 'K'
                     : p == 0xFFFFFF  ? 'W'
                                      : '?';
            }
            s += '\n';
        }
        return s;
    }

    // Compares the region whose top-left is (x, y) with rows given one string each.
    void expect_picture(int x, int y, const std::vector<std::string> &rows) const {
        std::string expected;
        for (const std::string &r : rows)
            expected += r + "\n";
        int w = rows.empty() ? 0 : static_cast<int>(rows[0].size());
        std::string actual = picture(x, y, w, static_cast<int>(rows.size()));
        EXPECT_EQ(actual, expected) << "actual:\n" << actual << "expected:\n" << expected;
        if (actual != expected)
            dump(actual, expected);
    }

    // Number of pixels in the whole bitmap that are not background.
    int painted() const {
        BITMAP bm{};
        GetObjectA(bitmap, sizeof bm, &bm);
        int n = 0;
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x)
                n += GetPixel(dc, x, y) != kBackground;
        return n;
    }

  private:
    static void dump(const std::string &actual, const std::string &expected) {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string base = std::string(info->test_suite_name()) + "." + info->name();
        for (char &c : base)
            if (c == '/')
                c = '_';
        for (int i = 0; i < 2; ++i) {
            std::string path = base + (i == 0 ? ".actual.txt" : ".expected.txt");
            if (FILE *f = std::fopen(path.c_str(), "w")) {
                std::fputs((i == 0 ? actual : expected).c_str(), f);
                std::fclose(f);
            }
        }
    }
};
