// Prints the colour on screen at each root point given as "x y" arguments, one "r,g,b" line each,
// read from the root window of $DISPLAY one pixel at a time: what a compositing manager shows
// there, in a few milliseconds where a whole-screen dump takes seconds on a loaded machine.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// One channel of a pixel, scaled to 0-255 from the bits the mask selects.
unsigned channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1U) == 0) ++shift;
    std::uint32_t max = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255U / max);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s 'x y'...\n", argv[0]);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "screen_pixels: no X display\n");
        xcb_disconnect(c);
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    const xcb_screen_t* screen = it.data;
    const xcb_visualtype_t* visual = nullptr;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem && !visual; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual) visual = v.data;
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
        std::fprintf(stderr, "screen_pixels: the root visual is not true colour\n");
        xcb_disconnect(c);
        return 1;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        int x = 0, y = 0;
        if (std::sscanf(argv[i], "%d %d", &x, &y) != 2) {
            std::fprintf(stderr, "screen_pixels: '%s' is no 'x y'\n", argv[i]);
            status = 2;
            break;
        }
        xcb_generic_error_t* error = nullptr;
        Reply<xcb_get_image_reply_t> image(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                                              static_cast<std::int16_t>(y), 1, 1, ~0U),
                                &error));
        std::free(error);
        const std::uint8_t* data = image ? xcb_get_image_data(image.get()) : nullptr;
        int length = image ? xcb_get_image_data_length(image.get()) : 0;
        if (!data || length < 3) {
            std::fprintf(stderr, "screen_pixels: no pixel at %d,%d\n", x, y);
            status = 1;
            break;
        }
        // The server's byte order; depth 24 comes as 32 bits per pixel.
        std::uint32_t pixel = 0;
        const bool msb = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
        const int bytes = length >= 4 ? 4 : length;
        for (int b = 0; b < bytes; ++b)
            pixel |= static_cast<std::uint32_t>(data[msb ? b : bytes - 1 - b]) << (8 * (bytes - 1 - b));
        std::printf("%u,%u,%u\n", channel(pixel, visual->red_mask), channel(pixel, visual->green_mask),
                    channel(pixel, visual->blue_mask));
    }
    xcb_disconnect(c);
    return status;
}
