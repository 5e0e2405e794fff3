// Ownership of the system's GDI objects, and the device-independent bitmap
// that the program's pixels go through on their way to and from GDI. For
// the implementation files of the win32 folders only: it includes
// <windows.h>, so it comes after the program's own headers.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vx::gdi {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const {
        if (object != nullptr) DeleteObject(object);
    }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const {
        if (dc != nullptr) DeleteDC(dc);
    }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// A 32-bit top-down bitmap: its pixels are 0x00RRGGBB, the same as the
// framework's, so pictures are copied row by row as they are.
BITMAPINFO TopDownInfo(int width, int height);

// Such a bitmap as a DIB section, selected into a memory context of its own.
class DibSection {
public:
    DibSection() = default;
    ~DibSection();
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    // Exactly width x height, the pixels undefined after a change; false,
    // and empty, when the system refuses.
    bool Resize(int width, int height);
    HDC Dc() const { return m_dc.get(); }
    std::uint32_t* Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    void Release();

    MemoryDc m_dc;
    GdiObject m_bitmap;
    HGDIOBJ m_dcDefault = nullptr;
    std::uint32_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace vx::gdi
