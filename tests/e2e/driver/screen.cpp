#include "screen.h"

#include <windows.h>

#include <cstring>

#include "check.h"

Screenshot Screenshot::Capture() {
    Screenshot shot;
    shot.width_ = GetSystemMetrics(SM_CXSCREEN);
    shot.height_ = GetSystemMetrics(SM_CYSCREEN);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width_;
    info.bmiHeader.biHeight = -shot.height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (section && memory) {
        HGDIOBJ old = SelectObject(memory, section);
        copied = BitBlt(memory, 0, 0, shot.width_, shot.height_, screen, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        if (copied) {
            shot.pixels_.resize(static_cast<size_t>(shot.width_) * shot.height_);
            std::memcpy(shot.pixels_.data(), bits, shot.pixels_.size() * 4);
            // Only the colour bytes count; the top byte of a DIB pixel is not defined.
            for (auto& p : shot.pixels_) p &= 0x00FFFFFFu;
        }
        SelectObject(memory, old);
    }
    if (section) DeleteObject(section);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) Fail(Format("cannot read the screen (error %lu)", GetLastError()));
    return shot;
}

size_t Screenshot::LitPixels() const {
    size_t lit = 0;
    for (uint32_t p : pixels_) lit += p != 0;
    return lit;
}

bool Screenshot::SaveBmp(const std::wstring& path) const {
    const DWORD rowBytes = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = -height_;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = rowBytes * height_;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::vector<uint8_t> data(header.biSizeImage, 0);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const uint32_t p = At(x, y);
            uint8_t* out = &data[y * rowBytes + x * 3];
            out[0] = static_cast<uint8_t>(p);
            out[1] = static_cast<uint8_t>(p >> 8);
            out[2] = static_cast<uint8_t>(p >> 16);
        }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(handle, &file, sizeof file, &written, nullptr) &&
              WriteFile(handle, &header, sizeof header, &written, nullptr) &&
              WriteFile(handle, data.data(), header.biSizeImage, &written, nullptr);
    CloseHandle(handle);
    return ok;
}
