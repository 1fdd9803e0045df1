// The full-screen saver: an animation window over the primary screen, topmost, without a
// pointer, that ends the program at the first sign of the user.
#pragma once

#include "app/draw_wnd_win32.h"

class CSaverWnd : public CDrawWnd {
public:
    CSaverWnd() : CDrawWnd(1) {}
    ~CSaverWnd() override = default;

    bool CreateFullScreen();

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void RequestClose();
    void OnUserMouseMove(LPARAM lParam);

    POINT firstMouse_{-1, -1};  // client position of the first mouse move; (-1, -1) until then
};
