#include "render/paint_win32.h"

#include <vector>

#include "render/dib_rows.h"

int paintToWindow(const Graphics& surface, HWND window, const RECT& rect, std::vector<uint32_t>* scratch) {
    const HDC dc = GetDC(window);
    if (!IsRectEmpty(&rect)) {
        const RECT whole{surface.originX, surface.originY, surface.width, surface.height};
        RECT visible;
        if (IntersectRect(&visible, &rect, &whole)) paintToDC(surface, dc, rect, scratch);
    }
    return ReleaseDC(window, dc);
}

void paintToDC(const Graphics& surface, HDC dc, const RECT& rect, std::vector<uint32_t>* scratch) {
    std::vector<uint32_t> local;
    std::vector<uint32_t>& rows = scratch != nullptr ? *scratch : local;
    const PixelRect r = CopyRowsBottomUp(surface, PixelRect{rect.left, rect.top, rect.right, rect.bottom}, rows);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;  // positive: bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                      static_cast<UINT>(h), rows.data(), reinterpret_cast<const BITMAPINFO*>(&header),
                      DIB_RGB_COLORS);
    // A paint of a large part of the surface (the window's first, an uncovered window) is
    // rare: its buffer is not kept, the shape-sized ones that every frame needs are.
    if (rows.capacity() >= static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height) / 4)
        std::vector<uint32_t>().swap(rows);
}
