// DirectDraw palettes and clippers of the stand-in.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dx/ddraw.h"

namespace vx::dx {

class SoftPalette final : public win::IDirectDrawPalette {
public:
    // size is 16 (DDPCAPS_4BIT) or 256 (DDPCAPS_8BIT); entries holds size entries.
    SoftPalette(int size, const win::PALETTEENTRY* entries);

    win::HRESULT GetEntries(win::DWORD flags, win::DWORD base, win::DWORD count, win::PALETTEENTRY* entries) override;
    win::HRESULT SetEntries(win::DWORD flags, win::DWORD startingEntry, win::DWORD count,
                            const win::PALETTEENTRY* entries) override;

    const win::PALETTEENTRY* Entries() const { return m_entries.data(); }
    int Size() const { return m_size; }
    // Changes with every SetEntries, so that textures convert again.
    std::uint64_t Version() const { return m_version; }

private:
    int m_size;
    std::array<win::PALETTEENTRY, 256> m_entries{};
    std::uint64_t m_version = 0;
};

// Remembers the window that presentation on the primary surface is clipped to.
class SoftClipper final : public win::IDirectDrawClipper {
public:
    win::HRESULT SetHWnd(win::DWORD flags, win::HWND window) override;
    win::HWND Window() const { return m_window; }

private:
    win::HWND m_window{};
};

}  // namespace vx::dx
