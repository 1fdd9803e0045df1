// What the dialog's pictures show: the live preview (running or standing still) and the
// light angle editor's sphere.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class ConfigDialog;

// The part of the preview that the user sees beside `cover` (a window over it, or none):
// the widest strip of the preview that `cover` leaves free, in the preview's client
// co-ordinates.
RECT VisiblePreviewPart(HWND preview, HWND cover);

// The pixels the screen shows in `part` of the preview, 0x00RRGGBB, row by row.
std::vector<uint32_t> PreviewPixels(HWND preview, const RECT& part);

// The preview goes on drawing: its picture changes again and again.
void ExpectPreviewRuns(ConfigDialog& dialog, const RECT& part, const std::string& when);
// The preview stands still: once the last shapes stamped have reached the screen, the
// picture stays exactly the same for a good while (running, it changes every few ms).
// Returns the still picture.
std::vector<uint32_t> ExpectPreviewStill(ConfigDialog& dialog, const RECT& part, const std::string& when);

// The light angle editor's picture for a light direction: the blue sphere of fixed
// material on black, as the project's shape code renders it, width x height pixels.
std::vector<uint32_t> ExpectedLightPicture(int width, int height, float x, float y, float z);
// Waits until the editor shows exactly that picture; fails with the differences.
void ExpectLightPicture(ConfigDialog& dialog, float x, float y, float z, const std::string& what);
// What the editor shows right now.
std::vector<uint32_t> LightPicture(ConfigDialog& dialog);
