#include <windows.h>

#include "app/saver_app_win32.h"

// The one application object.
static CSaverApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return theApp.Main(instance); }
