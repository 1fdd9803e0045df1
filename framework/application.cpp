#include "framework/application.h"

#include "framework/window.h"

namespace fw {

Application* Application::current_ = nullptr;

Application::Application() { current_ = this; }

Application::~Application() {
    if (current_ == this) current_ = nullptr;
}

int Application::Main(HINSTANCE instance) {
    instance_ = instance;
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
    std::string name(path, n < MAX_PATH ? n : 0);
    const size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    appName_ = name;

    if (!InitInstance()) return FailureStatus();
    return RunMessageLoop();
}

void Application::SetRegistryKey(const char* company) {
    registryHome_ = std::string("Software\\") + company + "\\" + appName_;
}

void Application::WindowDestroyed(Window* window) {
    if (current_ != nullptr && current_->mainWindow == window) {
        current_->mainWindow = nullptr;
        PostQuitMessage(0);
    }
}

int Application::RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace fw
