// gif_frames_check GIF DIR: decodes the GIF with giflib, draws each frame over the ones before
// as a viewer does, and compares each with DIR's PNGs in order (frame-000001.png, ...). A frame
// of more than 255 colours (anti-aliased text in many shades) may show a rare shade as its
// nearest kept colour: fewer than 1 % of its pixels, and never a colour of the table.
#include "kelpa_private.h"

#include <kelpa_testing.h>

#include <gif_lib.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

bool table_colour(uint32_t rgb) {
    for (COLORREF c : color_values)
        if (rgb == (uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c)))
            return true;
    return false;
}

int fail(const std::string &why) {
    std::printf("FAILED: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3)
        return fail("usage: gif_frames_check GIF DIR");
    int error = 0;
    GifFileType *gif = DGifOpenFileName(argv[1], &error);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        return fail(std::string("cannot read ") + argv[1]);
    kelpa_testing::Picture canvas;
    canvas.width = gif->SWidth;
    canvas.height = gif->SHeight;
    canvas.rgb.assign(size_t(canvas.width) * size_t(canvas.height), 0);
    int approximate = 0;
    for (int f = 0; f < gif->ImageCount; ++f) {
        const SavedImage &image = gif->SavedImages[f];
        GraphicsControlBlock control = {};
        DGifSavedExtensionToGCB(gif, f, &control);
        const ColorMapObject *map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc &d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int i = image.RasterBits[size_t(y) * d.Width + x];
                if (i == control.TransparentColor)
                    continue;
                const GifColorType c = map->Colors[i];
                canvas.rgb[size_t(d.Top + y) * canvas.width + d.Left + x] =
                    uint32_t(c.Red) << 16 | c.Green << 8 | c.Blue;
            }
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", f + 1);
        const kelpa_testing::Picture want = kelpa_testing::load_picture(argv[2] + std::string(name));
        if (want.width != canvas.width || want.height != canvas.height)
            return fail("frame " + std::to_string(f + 1) + ": no PNG of its size");
        size_t wrong = 0;
        std::set<uint32_t> colours(want.rgb.begin(), want.rgb.end());
        for (size_t p = 0; p < want.rgb.size(); ++p)
            if (want.rgb[p] != canvas.rgb[p]) {
                if (colours.size() <= 255 || table_colour(want.rgb[p]))
                    return fail("frame " + std::to_string(f + 1) + ": a pixel of an exact colour differs");
                ++wrong;
            }
        if (wrong * 100 > want.rgb.size())
            return fail("frame " + std::to_string(f + 1) + ": " + std::to_string(wrong) + " pixels differ");
        approximate += wrong > 0;
    }
    std::printf("the GIF shows the %d PNGs (%d with a rare shade approximated)\n", gif->ImageCount,
                approximate);
    DGifCloseFile(gif, &error);
    return 0;
}
