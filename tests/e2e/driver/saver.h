// Running the saver and watching what the user would see of it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "expected_image.h"
#include "process.h"
#include "screen.h"

// Where the saver under test lives (set once by the runner).
void SetSaverPath(const std::wstring& path);
const std::wstring& SaverPath();

// Where the pointer rests when a case starts: away from the centre and from the spot
// where the still picture is drawn.
constexpr POINT kPointerHome = {100, 100};

std::unique_ptr<SaverProcess> StartSaver(const std::vector<std::wstring>& args);

// The one visible top-level window of the saver; fails when none appears in time.
HWND WaitForSaverWindow(SaverProcess& saver);
// As above, and checks that it is the full-screen window: at (0,0) with the screen's
// size, a pop-up, topmost.
HWND WaitForFullScreenWindow(SaverProcess& saver);

// Waits until the saver has ended and checks its exit status.
void ExpectEndsWithStatus(SaverProcess& saver, DWORD status, const std::string& after);

// Runs the saver with `args` and checks that it ends by itself with `status` without
// ever showing a window.
void ExpectEndsWithoutWindow(const std::vector<std::wstring>& args, DWORD status);

// Waits until the animation has put something on the screen.
void WaitForDrawing(SaverProcess& saver);

// Proof that the saver took `after` in its stride: the animation goes on changing the
// screen several times after it (which needs every message posted before to have been
// handled), and the window and the process are still there.
void ExpectKeepsRunning(SaverProcess& saver, HWND window, const std::string& after);

// Waits until the screen shows exactly `stamp` on black; fails with the differences.
void ExpectStillPicture(SaverProcess& saver, const ExpectedStamp& stamp, const std::string& what);

// Runs full screen and checks that the screen shows exactly the still picture of `look`
// (the settings must have both speeds 0 and one slot on), then ends it with a key.
void ExpectFullScreenShows(const ShapeLook& look, const std::string& what);

// The preview's child window in `host` once it is shown (it exists a moment before);
// fails when none appears in time.
HWND WaitForPreviewChild(SaverProcess& saver, HWND host);

// A window handle as the display panel passes it: a decimal number.
std::wstring HandleText(HWND hwnd);
