// Showing rectangles of a drawing surface in a window: the only way pixels reach the
// screen, through the device-independent-bitmap call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "render/graphics.h"

// Shows `rect` of the surface at the same position in the window's client area. Gets and
// releases the window's device context in every case; returns ReleaseDC's result.
// `scratch` holds the bottom-up copy; a caller that paints often passes its own so the
// buffer is not allocated for every rectangle.
int paintToWindow(const Graphics& surface, HWND window, const RECT& rect, std::vector<uint32_t>* scratch = nullptr);

// The same onto a device context the caller holds.
void paintToDC(const Graphics& surface, HDC dc, const RECT& rect, std::vector<uint32_t>* scratch = nullptr);
