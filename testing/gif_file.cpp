// Frames of an animated GIF through giflib: the changed rectangle, its colour table, the
// indices of its rows. giflib does the LZW coding and the file's blocks.
#include "gif_file.h"

#include "kelpa_private.h"

#include <gif_lib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace kelpa_replay {

namespace {

// Whether rgb (0xRRGGBB) is one of KELPA's colour table: these always come out exact.
bool table_colour(uint32_t rgb) {
    for (COLORREF c : color_values)
        if (rgb == (uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c)))
            return true;
    return false;
}

// The colours of a frame's rectangle, up to 255 of them, each with its index in the frame's
// table (after index 0, the transparent one).
struct Palette {
    static constexpr int slots = 4096; // open addressing over the frame's colours
    uint32_t key[slots];
    int16_t index[slots];
    uint32_t colours[255];
    int count = 0;

    void clear() {
        std::fill(std::begin(index), std::end(index), int16_t(-1));
        count = 0;
    }
    static int hash(uint32_t rgb) { return static_cast<int>((rgb * 2654435761u) >> 20); }
    // The colour's index, added if there is room; -1 when the table is full.
    int find(uint32_t rgb) {
        int h = hash(rgb);
        while (index[h] >= 0) {
            if (key[h] == rgb)
                return index[h];
            h = (h + 1) & (slots - 1);
        }
        if (count == 255)
            return -1;
        key[h] = rgb;
        index[h] = static_cast<int16_t>(count);
        colours[count] = rgb;
        return count++;
    }
    int nearest(uint32_t rgb) const {
        int best = 0;
        long best_distance = -1;
        for (int i = 0; i < count; ++i) {
            const long dr = long((rgb >> 16) & 255) - long((colours[i] >> 16) & 255);
            const long dg = long((rgb >> 8) & 255) - long((colours[i] >> 8) & 255);
            const long db = long(rgb & 255) - long(colours[i] & 255);
            const long d = dr * dr + dg * dg + db * db;
            if (best_distance < 0 || d < best_distance) {
                best = i;
                best_distance = d;
            }
        }
        return best;
    }
};

// The smallest rectangle that holds every pixel where a and b differ; false when none does.
bool changed_box(const kelpa_testing::Picture &a, const kelpa_testing::Picture &b, int &left, int &top,
                 int &right, int &bottom) {
    const int w = a.width;
    top = -1;
    for (int y = 0; y < a.height && top < 0; ++y)
        if (std::memcmp(&a.rgb[size_t(y) * w], &b.rgb[size_t(y) * w], size_t(w) * 4) != 0)
            top = y;
    if (top < 0)
        return false;
    bottom = top;
    for (int y = a.height - 1; y > top; --y)
        if (std::memcmp(&a.rgb[size_t(y) * w], &b.rgb[size_t(y) * w], size_t(w) * 4) != 0) {
            bottom = y;
            break;
        }
    left = w;
    right = -1;
    for (int y = top; y <= bottom; ++y) {
        const uint32_t *ra = &a.rgb[size_t(y) * w], *rb = &b.rgb[size_t(y) * w];
        int x = 0;
        while (x < left && ra[x] == rb[x])
            ++x;
        left = std::min(left, x);
        x = w - 1;
        while (x > right && ra[x] == rb[x])
            --x;
        right = std::max(right, x);
    }
    return true;
}

// A rectangle of more than 255 colours (anti-aliased text in many shades): the colour table's
// colours keep an index each, then the most used others; the rest take the nearest colour
// kept. Fills the indices anew.
void choose_colours(const kelpa_testing::Picture &picture, const kelpa_testing::Picture &canvas, bool whole,
                    int left, int top, int right, int bottom, Palette &palette,
                    std::vector<uint8_t> &indices) {
    std::unordered_map<uint32_t, uint32_t> uses;
    for (int y = top; y <= bottom; ++y) {
        const uint32_t *row = &picture.rgb[size_t(y) * picture.width];
        const uint32_t *old = &canvas.rgb[size_t(y) * picture.width];
        for (int x = left; x <= right; ++x)
            if (whole || row[x] != old[x])
                ++uses[row[x]];
    }
    std::vector<std::pair<uint32_t, uint32_t>> ranked; // (uses, colour), the table's first
    for (const auto &[rgb, count] : uses) {
        ranked.emplace_back(table_colour(rgb) ? UINT32_MAX : count, rgb);
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    palette.clear();
    for (size_t i = 0; i < ranked.size() && i < 255; ++i)
        palette.find(ranked[i].second);
    std::unordered_map<uint32_t, uint8_t> index;
    uint8_t *out = indices.data();
    for (int y = top; y <= bottom; ++y) {
        const uint32_t *row = &picture.rgb[size_t(y) * picture.width];
        const uint32_t *old = &canvas.rgb[size_t(y) * picture.width];
        for (int x = left; x <= right; ++x, ++out) {
            if (!whole && row[x] == old[x]) {
                *out = 0;
                continue;
            }
            auto found = index.find(row[x]);
            if (found == index.end()) {
                const int i = palette.find(row[x]);
                found = index.emplace(row[x], uint8_t((i >= 0 ? i : palette.nearest(row[x])) + 1)).first;
            }
            *out = found->second;
        }
    }
}

} // namespace

// giflib's output goes to the held bytes; flush() passes them on to the file.
int write_held(GifFileType *gif, const GifByteType *bytes, int count) {
    GifFile *self = static_cast<GifFile *>(gif->UserData);
    self->held_.insert(self->held_.end(), bytes, bytes + count);
    return count;
}

bool GifFile::flush() {
    if (!held_.empty() && std::fwrite(held_.data(), 1, held_.size(), file_) != held_.size())
        failed_ = true;
    held_.clear();
    return !failed_;
}

void GifFile::extend(int extra_cs) {
    // A frame's bytes start with its control block: 0x21 0xF9 4, flags, then the delay.
    if (held_.size() < 6 || held_[0] != 0x21 || held_[1] != 0xF9 || extra_cs <= 0)
        return;
    const int delay = std::min(0xFFFF, (held_[4] | held_[5] << 8) + extra_cs);
    held_[4] = uint8_t(delay & 0xFF);
    held_[5] = uint8_t(delay >> 8);
}

bool GifFile::open(FILE *file, int width, int height) {
    file_ = file;
    int error = 0;
    gif_ = EGifOpen(this, write_held, &error);
    if (!gif_)
        return !(failed_ = true);
    EGifSetGifVersion(gif_, true);
    // No global colour table: every frame brings its own.
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_ERROR)
        return !(failed_ = true);
    static const GifByteType loop[3] = {1, 0, 0}; // sub-block 1: repeat 0 times more = forever
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(gif_) == GIF_ERROR)
        return !(failed_ = true);
    canvas_.width = width;
    canvas_.height = height;
    canvas_.rgb.assign(size_t(width) * size_t(height), 0);
    return flush();
}

bool GifFile::add(const kelpa_testing::Picture &picture, int delay_cs) {
    if (!gif_ || failed_ || picture.width != canvas_.width || picture.height != canvas_.height || !flush())
        return !(failed_ = true);
    int left = 0, top = 0, right = picture.width - 1, bottom = picture.height - 1;
    const bool whole = first_;
    if (!whole && !changed_box(picture, canvas_, left, top, right, bottom)) {
        left = top = right = bottom = 0; // a frame that only waits: one transparent pixel
    }
    const int w = right - left + 1, h = bottom - top + 1;

    // One pass gives every pixel its index and the frame its table: index 0 is the
    // transparent one (a pixel the frame leaves as it was), the frame's colours follow. Runs
    // of one colour are the rule (the background, filled shapes), so the last colour found
    // answers most pixels without a lookup.
    static Palette palette;
    palette.clear();
    indices_.resize(size_t(w) * size_t(h));
    uint8_t *out = indices_.data();
    uint32_t last_rgb = 0;
    int last_index = -1;
    bool full = false;
    for (int y = top; y <= bottom && !full; ++y) {
        const uint32_t *row = &picture.rgb[size_t(y) * picture.width];
        const uint32_t *old = &canvas_.rgb[size_t(y) * picture.width];
        for (int x = left; x <= right; ++x) {
            const uint32_t rgb = row[x];
            if (!whole && rgb == old[x]) {
                *out++ = 0;
                continue;
            }
            if (rgb != last_rgb || last_index < 0) {
                last_rgb = rgb;
                last_index = palette.find(rgb);
                if (last_index < 0) {
                    full = true;
                    break;
                }
            }
            *out++ = uint8_t(last_index + 1);
        }
    }
    if (full)
        choose_colours(picture, canvas_, whole, left, top, right, bottom, palette, indices_);
    // What the viewer shows from now on.
    out = indices_.data();
    for (int y = top; y <= bottom; ++y) {
        uint32_t *old = &canvas_.rgb[size_t(y) * picture.width];
        for (int x = left; x <= right; ++x, ++out)
            if (*out)
                old[x] = palette.colours[*out - 1];
    }
    const int size = 1 << std::max(1, GifBitSize(palette.count + 1));
    GifColorType colours[256] = {};
    for (int i = 0; i < palette.count; ++i)
        colours[i + 1] = GifColorType{GifByteType(palette.colours[i] >> 16),
                                      GifByteType(palette.colours[i] >> 8), GifByteType(palette.colours[i])};
    ColorMapObject *map = GifMakeMapObject(size, colours);
    if (!map)
        return !(failed_ = true);

    GraphicsControlBlock control = {DISPOSE_DO_NOT, false, std::max(0, delay_cs),
                                    whole ? NO_TRANSPARENT_COLOR : 0};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    bool ok = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_ERROR &&
              EGifPutImageDesc(gif_, left, top, w, h, false, map) != GIF_ERROR;
    GifFreeMapObject(map);
    for (int y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif_, &indices_[size_t(y) * size_t(w)], w) != GIF_ERROR;
    first_ = false;
    if (!ok)
        failed_ = true;
    return !failed_;
}

bool GifFile::close() {
    if (!gif_)
        return false;
    int error = 0;
    if (EGifCloseFile(gif_, &error) == GIF_ERROR) // the trailer joins the held bytes
        failed_ = true;
    gif_ = nullptr;
    return flush() && !failed_;
}

GifFile::~GifFile() {
    if (gif_) {
        int error = 0;
        EGifCloseFile(gif_, &error);
    }
}

} // namespace kelpa_replay
