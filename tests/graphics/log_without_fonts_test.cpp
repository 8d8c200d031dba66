// A host with no font file to give (fontconfig configured with none, as on a machine with no
// font installed, or with no file descriptor left to read one): the text window still shows
// the log, in the built-in font, and standard error says once what could not be loaded.
#include "library_fixture.h"

#include <cstdlib>
#include <fstream>

namespace {

// Before anything asks fontconfig for its configuration, which it reads once a process.
const std::filesystem::path no_fonts_conf =
    std::filesystem::temp_directory_path() / ("kelpa_no_fonts_" + std::to_string(getpid()) + ".conf");
const bool no_fonts_configured = [] {
    std::ofstream(no_fonts_conf) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(no_fonts_conf, ignored);
    });
    return setenv("FONTCONFIG_FILE", no_fonts_conf.c_str(), 1) == 0;
}();

// The columns [first, last] of client rows [top, bottom) that hold a dark pixel; -1 for none.
std::pair<int, int> inked_columns(HWND hwnd, int top, int bottom) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    std::pair<int, int> span{-1, -1};
    for (int x = 0; x < client.right; ++x)
        for (int y = top; y < bottom; ++y)
            if (headless::pixel(hwnd, x, y) == RGB(0, 0, 0)) {
                span = {span.first < 0 ? x : span.first, x};
                break;
            }
    return span;
}

} // namespace

using LogWithoutFontsTest = FreshLibrary;

TEST_F(LogWithoutFontsTest, TheTextWindowShowsTheLogInTheBuiltInFont) {
    ASSERT_TRUE(no_fonts_configured);
    ::testing::internal::CaptureStderr();
    // Twice, as from a fresh process: the second start-up says nothing more.
    for (int run = 0; run < 2; ++run) {
        FreshLibrary::SetUp();
        enter_process();
        kelpa_startup();
        kelpa_log("Cannot open script file KELPA.SCR for writing\n");
        kelpa_log("EOF encountered in script file KELPA.SCR\n");
        ASSERT_TRUE(dispatch_pending());
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "KELPA: no font could be loaded (fontconfig knows no font file); text is drawn in the "
                    "built-in 5x7 font\n");

    // The stock fixed font's cell stays 13 pixels high; glyphs are 6 pixels apart from x = 5.
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm = {};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    DeleteDC(dc);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    RECT client = {};
    GetClientRect(library_state.text_window, &client);
    const std::pair<int, int> span =
        inked_columns(library_state.text_window, client.bottom - 13, client.bottom);
    EXPECT_EQ(span.first, 5);
    const int length = static_cast<int>(strlen("EOF encountered in script file KELPA.SCR"));
    EXPECT_GT(span.second, 5 + 6 * (length - 1));
    EXPECT_LT(span.second, 5 + 6 * length);
}
