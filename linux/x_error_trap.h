// X protocol errors are reported to a handler instead of ending the program: a window
// that vanished (the settings dialog's preview closed) must end the saver cleanly.
#pragma once

#include <X11/Xlib.h>

struct XErrorRecord {
    int count = 0;
    unsigned char code = 0;
    XID resource = 0;
};

// Installs the handler (once per process).
void InstallXErrorTrap();
// Waits for the server to handle every request so far and returns the errors they
// caused since the last call, clearing the record.
XErrorRecord SyncAndTakeXErrors(Display* display);
