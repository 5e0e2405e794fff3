// A window on an X screen of 256 colours. SDL makes no image for such a
// window (it knows no pixel format of a colour-mapped visual), so the
// window's image is put on the screen here: each pixel as one of the colours
// asked of the window's colour map (graphics/indexed_colours.h), one by
// one, as any program on such a desktop does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/indexed_colours.h"

struct SDL_Window;

namespace vx::sdl {

class X11IndexedWindow {
public:
    // Nothing when the window is not on X, not of 8 bits a pixel, or its
    // colour map cannot give the colours.
    static std::unique_ptr<X11IndexedWindow> For(SDL_Window* window);
    ~X11IndexedWindow();
    X11IndexedWindow(const X11IndexedWindow&) = delete;
    X11IndexedWindow& operator=(const X11IndexedWindow&) = delete;

    // Puts a part of the image (0x00RRGGBB pixels, imageWidth a row) on the
    // window, each pixel a scale x scale block.
    void Put(const std::uint32_t* image, int imageWidth, int left, int top, int width, int height, int scale);

private:
    struct Connection;
    X11IndexedWindow(std::unique_ptr<Connection> connection, IndexedColourMap colours);

    std::unique_ptr<Connection> m_connection;
    IndexedColourMap m_colours;
    std::vector<std::uint8_t> m_pixels;
};

}  // namespace vx::sdl
