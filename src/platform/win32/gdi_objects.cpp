#include "platform/win32/gdi_objects.h"

namespace vx::gdi {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

DibSection::~DibSection() { Release(); }

void DibSection::Release() {
    // A bitmap still selected into a context cannot be deleted.
    if (m_dcDefault != nullptr) SelectObject(m_dc.get(), m_dcDefault);
    m_dcDefault = nullptr;
    m_bitmap.reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

bool DibSection::Resize(int width, int height) {
    if (m_bits != nullptr && m_width == width && m_height == height) return true;
    Release();
    if (!m_dc) {
        m_dc.reset(CreateCompatibleDC(nullptr));
        if (!m_dc) return false;
    }
    BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || bits == nullptr) {
        m_bitmap.reset();
        return false;
    }
    m_dcDefault = SelectObject(m_dc.get(), m_bitmap.get());
    m_bits = static_cast<std::uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

}  // namespace vx::gdi
