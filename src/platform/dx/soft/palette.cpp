#include "platform/dx/soft/palette.h"

#include <algorithm>

namespace vx::dx {

using namespace win;

SoftPalette::SoftPalette(int size, const PALETTEENTRY* entries) : m_size(std::clamp(size, 1, 256)) {
    if (entries != nullptr) std::copy_n(entries, m_size, m_entries.begin());
}

HRESULT SoftPalette::GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) {
    if (flags != 0 || entries == nullptr || base > static_cast<DWORD>(m_size) || count > static_cast<DWORD>(m_size) - base) {
        return DDERR_INVALIDPARAMS;
    }
    std::copy_n(m_entries.begin() + base, count, entries);
    return DD_OK;
}

HRESULT SoftPalette::SetEntries(DWORD flags, DWORD startingEntry, DWORD count, const PALETTEENTRY* entries) {
    if (flags != 0 || entries == nullptr || startingEntry > static_cast<DWORD>(m_size) ||
        count > static_cast<DWORD>(m_size) - startingEntry) {
        return DDERR_INVALIDPARAMS;
    }
    std::copy_n(entries, count, m_entries.begin() + startingEntry);
    ++m_version;
    return DD_OK;
}

HRESULT SoftClipper::SetHWnd(DWORD flags, HWND window) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    m_window = window;
    return DD_OK;
}

}  // namespace vx::dx
