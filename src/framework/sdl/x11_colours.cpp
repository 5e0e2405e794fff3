#include "framework/sdl/x11_colours.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <algorithm>

namespace vx::sdl {

// The X library's calls that SDL has loaded; the program itself does not
// link the library.
struct X11IndexedWindow::Connection {
    using GetWindowAttributes = Status (*)(Display*, Window, XWindowAttributes*);
    using AllocColor = Status (*)(Display*, Colormap, XColor*);
    using QueryColors = int (*)(Display*, Colormap, XColor*, int);
    using SetWindowColormap = int (*)(Display*, Window, Colormap);
    using DefaultColormapOfScreen = Colormap (*)(Screen*);
    using DefaultVisualOfScreen = Visual* (*)(Screen*);
    using CreateGC = GC (*)(Display*, Drawable, unsigned long, XGCValues*);
    using FreeGC = int (*)(Display*, GC);
    using CreateImage = XImage* (*)(Display*, Visual*, unsigned int, int, int, char*, unsigned int, unsigned int, int, int);
    using PutImage = int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int);
    using Flush = int (*)(Display*);

    GetWindowAttributes getWindowAttributes = nullptr;
    AllocColor allocColor = nullptr;
    QueryColors queryColors = nullptr;
    SetWindowColormap setWindowColormap = nullptr;
    DefaultColormapOfScreen defaultColormapOfScreen = nullptr;
    DefaultVisualOfScreen defaultVisualOfScreen = nullptr;
    CreateGC createGC = nullptr;
    FreeGC freeGC = nullptr;
    CreateImage createImage = nullptr;
    PutImage putImage = nullptr;
    Flush flush = nullptr;

    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    GC gc = nullptr;

    bool Load() {
        void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (library == nullptr) return false;
        getWindowAttributes = reinterpret_cast<GetWindowAttributes>(dlsym(library, "XGetWindowAttributes"));
        allocColor = reinterpret_cast<AllocColor>(dlsym(library, "XAllocColor"));
        queryColors = reinterpret_cast<QueryColors>(dlsym(library, "XQueryColors"));
        setWindowColormap = reinterpret_cast<SetWindowColormap>(dlsym(library, "XSetWindowColormap"));
        defaultColormapOfScreen = reinterpret_cast<DefaultColormapOfScreen>(dlsym(library, "XDefaultColormapOfScreen"));
        defaultVisualOfScreen = reinterpret_cast<DefaultVisualOfScreen>(dlsym(library, "XDefaultVisualOfScreen"));
        createGC = reinterpret_cast<CreateGC>(dlsym(library, "XCreateGC"));
        freeGC = reinterpret_cast<FreeGC>(dlsym(library, "XFreeGC"));
        createImage = reinterpret_cast<CreateImage>(dlsym(library, "XCreateImage"));
        putImage = reinterpret_cast<PutImage>(dlsym(library, "XPutImage"));
        flush = reinterpret_cast<Flush>(dlsym(library, "XFlush"));
        return getWindowAttributes && allocColor && queryColors && setWindowColormap && defaultColormapOfScreen &&
               defaultVisualOfScreen && createGC && freeGC && createImage && putImage && flush;
    }
    ~Connection() {
        if (gc != nullptr) freeGC(display, gc);
    }
};

namespace {

XColor XColourOf(std::uint32_t rgb) {
    XColor colour{};
    // X's channels are 16 bits: 0xFF becomes 0xFFFF.
    colour.red = static_cast<unsigned short>((rgb >> 16 & 0xFF) * 0x101);
    colour.green = static_cast<unsigned short>((rgb >> 8 & 0xFF) * 0x101);
    colour.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
    colour.flags = DoRed | DoGreen | DoBlue;
    return colour;
}

std::uint8_t NearestCell(const std::array<XColor, kIndexedColourCount>& held, std::uint32_t rgb) {
    const auto channel = [](unsigned short value) { return static_cast<long>(value >> 8); };
    const long r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    std::size_t best = 0;
    long bestDistance = -1;
    for (std::size_t cell = 0; cell < held.size(); ++cell) {
        const long dr = channel(held[cell].red) - r, dg = channel(held[cell].green) - g, db = channel(held[cell].blue) - b;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = cell;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

std::unique_ptr<X11IndexedWindow> X11IndexedWindow::For(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    auto connection = std::make_unique<Connection>();
    if (!connection->Load()) return nullptr;
    connection->display = info.info.x11.display;
    connection->window = info.info.x11.window;
    XWindowAttributes attributes{};
    if (connection->getWindowAttributes(connection->display, connection->window, &attributes) == 0 || attributes.depth != 8) {
        return nullptr;
    }
    connection->visual = attributes.visual;

    // The colours are asked of the desktop's own colour map, which the
    // screen shows whatever window has the focus (SDL gives the window a
    // colour map of its own, which nobody installs without a window
    // manager): each colour's cell when the map has room for it, otherwise
    // the nearest colour the map holds.
    Colormap colourMap = attributes.colormap;
    if (attributes.visual == connection->defaultVisualOfScreen(attributes.screen)) {
        colourMap = connection->defaultColormapOfScreen(attributes.screen);
        connection->setWindowColormap(connection->display, connection->window, colourMap);
    }
    const std::array<std::uint32_t, kIndexedColourCount> colours = IndexedColours();
    std::array<std::uint8_t, kIndexedColourCount> pixels{};
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        XColor colour = XColourOf(colours[i]);
        if (connection->allocColor(connection->display, colourMap, &colour) != 0 && colour.pixel <= 0xFF) {
            pixels[i] = static_cast<std::uint8_t>(colour.pixel);
        } else {
            missing.push_back(i);
        }
    }
    if (!missing.empty()) {
        std::array<XColor, kIndexedColourCount> held{};
        for (std::size_t cell = 0; cell < held.size(); ++cell) held[cell].pixel = cell;
        connection->queryColors(connection->display, colourMap, held.data(), static_cast<int>(held.size()));
        for (const std::size_t i : missing) pixels[i] = NearestCell(held, colours[i]);
    }
    connection->gc = connection->createGC(connection->display, connection->window, 0, nullptr);
    if (connection->gc == nullptr) return nullptr;
    return std::unique_ptr<X11IndexedWindow>(new X11IndexedWindow(std::move(connection), IndexedColourMap(pixels)));
}

X11IndexedWindow::X11IndexedWindow(std::unique_ptr<Connection> connection, IndexedColourMap colours)
    : m_connection(std::move(connection)), m_colours(colours) {}

X11IndexedWindow::~X11IndexedWindow() = default;

void X11IndexedWindow::Put(const std::uint32_t* image, int imageWidth, int left, int top, int width, int height, int scale) {
    if (width <= 0 || height <= 0) return;
    const int outWidth = width * scale;
    const int outHeight = height * scale;
    // One byte a pixel, rows padded to 4 bytes as the image below says.
    const int pitch = (outWidth + 3) & ~3;
    m_pixels.assign(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(outHeight), 0);
    for (int y = 0; y < outHeight; ++y) {
        const std::uint32_t* const row = image + static_cast<std::size_t>(top + y / scale) * static_cast<std::size_t>(imageWidth);
        std::uint8_t* const out = m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch);
        for (int x = 0; x < outWidth; ++x) out[x] = m_colours.PixelFor(row[left + x / scale] & 0xFFFFFF);
    }
    Connection& c = *m_connection;
    XImage* picture = c.createImage(c.display, c.visual, 8, ZPixmap, 0, reinterpret_cast<char*>(m_pixels.data()),
                                    static_cast<unsigned>(outWidth), static_cast<unsigned>(outHeight), 32, pitch);
    if (picture == nullptr) return;
    c.putImage(c.display, c.window, c.gc, picture, 0, 0, left * scale, top * scale, static_cast<unsigned>(outWidth),
               static_cast<unsigned>(outHeight));
    c.flush(c.display);
    // The pixels are this object's: the image must not free them.
    picture->data = nullptr;
    picture->f.destroy_image(picture);
}

}  // namespace vx::sdl
