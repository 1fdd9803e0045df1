// The application object: instance initialisation, the message loop, the main window,
// and the registry home under which the profile lives.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current() { return current_; }

    // Start-up hook: true enters the message loop, false ends the program at once.
    virtual bool InitInstance() = 0;
    // Exit status when InitInstance reported failure.
    virtual int FailureStatus() const { return 0; }

    // The whole life of the program: what WinMain returns.
    int Main(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }
    // The program file's base name without extension ("tindlbrg" for tindlbrg.scr).
    const std::string& AppName() const { return appName_; }

    // "Software\<company>\<app name>" under HKEY_CURRENT_USER.
    void SetRegistryKey(const char* company);
    const std::string& RegistryHome() const { return registryHome_; }

    Window* mainWindow = nullptr;

    // Called by every window after its last message: the main window's end ends the loop.
    static void WindowDestroyed(Window* window);

private:
    int RunMessageLoop();

    static Application* current_;
    HINSTANCE instance_ = nullptr;
    std::string appName_;
    std::string registryHome_;
};

}  // namespace fw
