#include "linux/x_error_trap.h"

#include <cstdio>
#include <cstdlib>

namespace {
// Xlib's handlers take no context: one record for the process.
XErrorRecord theErrors;

int RecordError(Display*, XErrorEvent* e) {
    ++theErrors.count;
    theErrors.code = e->error_code;
    theErrors.resource = e->resourceid;
    return 0;
}

int ConnectionLost(Display*) {
    std::fprintf(stderr, "tindlbrg: the connection to the X display was lost\n");
    std::_Exit(1);
}
}  // namespace

void InstallXErrorTrap() {
    XSetErrorHandler(RecordError);
    XSetIOErrorHandler(ConnectionLost);
}

XErrorRecord SyncAndTakeXErrors(Display* display) {
    XSync(display, False);
    const XErrorRecord taken = theErrors;
    theErrors = XErrorRecord{};
    return taken;
}
