// Pictures of the graphics window as PNG files, and the comparison with a reference picture
// that the picture tests rely on: any one pixel that differs is a difference.
#include "kelpa_testing.h"

#include "surface_png.h"

#include <png.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace kelpa_testing {

namespace {

std::string hex(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFu));
    return text;
}

// The reference's file name without its folder and without ".png".
std::string stem(const std::string &path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
        name.resize(name.size() - 4);
    return name;
}

} // namespace

bool save_picture(const Picture &picture, const std::string &path) {
    win32::Surface surface;
    surface.width = picture.width;
    surface.height = picture.height;
    surface.pixels = picture.rgb;
    return win32::write_png(surface, path.c_str());
}

Picture load_picture(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
    for (size_t i = 0; i < picture.rgb.size(); ++i)
        picture.rgb[i] =
            (uint32_t{bytes[3 * i]} << 16) | (uint32_t{bytes[3 * i + 1]} << 8) | bytes[3 * i + 2];
    return picture;
}

namespace {

// What differs between two pictures: their sizes, or the count and the first pixel.
std::string describe_difference(const Picture &actual, const Picture &expected) {
    std::ostringstream out;
    if (actual.width != expected.width || actual.height != expected.height) {
        out << "size " << actual.width << " x " << actual.height << ", expected " << expected.width << " x "
            << expected.height;
        return out.str();
    }
    size_t differ = 0, first = 0;
    for (size_t i = 0; i < actual.rgb.size(); ++i)
        if (actual.rgb[i] != expected.rgb[i] && differ++ == 0)
            first = i;
    out << differ << " pixels differ; the first at client pixel ("
        << first % static_cast<size_t>(actual.width) << ", " << first / static_cast<size_t>(actual.width)
        << ") shows " << hex(actual.rgb[first]) << ", expected " << hex(expected.rgb[first]);
    return out.str();
}

} // namespace

bool same_picture(const Picture &actual, const std::string &reference, std::string *why, bool update) {
    std::string message;
    if (update) {
        if (save_picture(actual, reference))
            return true;
        message = "cannot write " + reference;
    } else {
        Picture expected = load_picture(reference);
        if (actual == expected)
            return true;
        std::string name = stem(reference);
        save_picture(actual, name + ".actual.png");
        if (expected.rgb.empty()) {
            message = "cannot read " + reference +
                      " (a new picture? -DKELPA_UPDATE_PICTURES=ON writes it); see " + name +
                      ".actual.png beside the test";
        } else {
            save_picture(expected, name + ".expected.png");
            message = describe_difference(actual, expected) + " (" + reference + "; see " + name +
                      ".actual.png and " + name + ".expected.png beside the test)";
        }
    }
    if (why)
        *why = message;
    return false;
}

} // namespace kelpa_testing
