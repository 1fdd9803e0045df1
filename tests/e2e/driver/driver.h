// What the cases share: polling, the case list, the saver and its windows, what it keeps, the screen.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/button_image_creator.h"
#include "render/shape_shading.h"

[[noreturn]] inline void Fail(const std::string& message) { throw std::runtime_error(message); }
inline void Expect(bool condition, const std::string& message) { if (!condition) Fail(message); }
__attribute__((format(gnu_printf, 1, 2))) inline std::string Format(const char* format, ...) {
    va_list args, copy; va_start(args, format); va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy); va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args); return text;
}
// Every text the cases meet is ASCII.
inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
// Long enough for a slow, busy machine; a case only waits this long when it fails.
constexpr DWORD kDeadlineMs = 10000;
// Whether done() held by the deadline, pumping messages meanwhile (a preview host must answer).
template <class Condition>
bool PollUntil(Condition done, DWORD timeoutMs = kDeadlineMs, DWORD intervalMs = 5) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) { TranslateMessage(&msg); DispatchMessageW(&msg); }
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, intervalMs, QS_ALLINPUT);
    }
}
inline void Pause(DWORD ms) { PollUntil([] { return false; }, ms); }
const RECT kScreen = {0, 0, 1024, 768};  // the virtual display
// Each case (one per table row: group.row) runs alone from nothing stored and the pointer at (100, 100).
inline std::map<std::string, std::function<void()>>& Cases() {
    static std::map<std::string, std::function<void()>> cases; return cases;
}
#define E2E_CASE(group, name)                                                                          \
    static void group##_##name();                                                                      \
    static const bool group##_##name##_added = (Cases()[#group "." #name] = group##_##name, true); \
    static void group##_##name()
template <class Row, size_t N>
bool AddRows(const char* group, const Row (&rows)[N], void (*run)(const Row&)) {
    for (const Row& row : rows) Cases()[std::string(group) + "." + row.name] = [&row, run] { run(row); };
    return true;
}

// ---- windows and input
// A process's (visible: Wine hides helpers in each) top-level windows, or children of `parent` at any depth.
inline std::vector<HWND> WindowsOf(DWORD pid, bool visibleOnly = true, HWND parent = nullptr) {
    struct Search { DWORD pid; bool visibleOnly; std::vector<HWND> found; } search{pid, visibleOnly, {}};
    const WNDENUMPROC add = [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param); DWORD owner = 0; GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && (!s->visibleOnly || IsWindowVisible(hwnd))) s->found.push_back(hwnd);
        return TRUE;
    };
    if (parent) EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&search));
    else EnumWindows(add, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
inline std::vector<HWND> ChildrenOf(HWND parent, DWORD pid) { return WindowsOf(pid, false, parent); }
inline std::wstring ClassOf(HWND window) { wchar_t text[256] = {}; GetClassNameW(window, text, 256); return text; }
inline std::wstring TitleOf(HWND window) {  // not WM_GETTEXT: that waits for a busy saver
    wchar_t text[256] = {}; InternalGetWindowText(window, text, 256); return text;
}
inline RECT RectOf(HWND window) { RECT r = {}; GetWindowRect(window, &r); return r; }
inline RECT ClientOnScreen(HWND window) {
    RECT client = {}; GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2); return client;
}
inline std::string Describe(HWND window) {
    const RECT r = RectOf(window);
    return Format("window \"%s\" of class %s at (%ld,%ld)-(%ld,%ld)", Narrow(TitleOf(window)).c_str(),
                  Narrow(ClassOf(window)).c_str(), r.left, r.top, r.right, r.bottom);
}
// Messages that cannot be posted, or are not answered in time (a hung saver), fail the case.
inline void Post(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    if (!PostMessageW(window, message, w, l))
        Fail(Format("cannot post message %04x to window %p (error %lu)", message, static_cast<void*>(window),
                    GetLastError()));
}
inline LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result))
        Fail(Format("window %p did not answer message %04x within %lu s (error %lu)", static_cast<void*>(window),
                    message, kDeadlineMs / 1000, GetLastError()));
    return static_cast<LRESULT>(result);
}
inline void PostKey(HWND window, UINT message, UINT virtualKey) {  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP
    LPARAM data = 1 | static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (message == WM_SYSKEYDOWN) data |= 1 << 29;
    if (message == WM_KEYUP) data |= static_cast<LPARAM>(3) << 30;
    Post(window, message, virtualKey, data);
}
inline void MovePointer(POINT screen) {
    Expect(SetCursorPos(screen.x, screen.y) != FALSE, Format("SetCursorPos failed (error %lu)", GetLastError()));
}
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// ---- the saver under test
inline std::wstring saverPath;
// Started with exactly `args` in the temporary folder (where its file dialogs open); ended with the case.
class Saver {
public:
    explicit Saver(const std::vector<std::wstring>& args) {
        std::wstring line = L"\"" + saverPath + L"\"";
        for (const auto& arg : args) {  // none with a blank
            line += L" " + arg;
            args_ += (args_.empty() ? "\"" : " \"") + Narrow(arg) + "\"";
        }
        if (args.empty()) args_ = "(no argument)";
        wchar_t temp[MAX_PATH] = {}; GetTempPathW(MAX_PATH, temp);
        STARTUPINFOW startup = {}; startup.cb = sizeof startup; PROCESS_INFORMATION info = {};
        if (!CreateProcessW(saverPath.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &info))
            Fail(Format("cannot start the saver with %s (error %lu)", args_.c_str(), GetLastError()));
        CloseHandle(info.hThread); process_ = info.hProcess; pid_ = info.dwProcessId;
    }
    ~Saver() {
        if (Running()) TerminateProcess(process_, 99), WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    const std::string& Args() const { return args_; }
    bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const { DWORD code = 0; GetExitCodeProcess(process_, &code); return code; }
    std::string Showing() const {
        std::string text; for (HWND hwnd : WindowsOf(pid_)) text += "; " + Describe(hwnd);
        return text.empty() ? "no visible window" : text.substr(2);
    }
    void ExpectEnds(DWORD status, const std::string& after) {  // within the deadline
        Expect(PollUntil([this] { return !Running(); }), Format("the saver (%s) was still running %lu s after %s (%s)",
                                                                args_.c_str(), kDeadlineMs / 1000, after.c_str(),
                                                                Showing().c_str()));
        Expect(ExitCode() == status, Format("after %s the saver (%s) ended with status %lu, expected %lu",
                                            after.c_str(), args_.c_str(), ExitCode(), status));
    }
    // Polls `find` until it gives a window; fails when the saver ends or at the deadline.
    template <class Find>
    HWND WaitFor(const std::string& what, Find find) {
        HWND found = nullptr;
        PollUntil([&] { return (found = find()) != nullptr || !Running(); });
        Expect(Running(), Format("the saver (%s) ended with status %lu before %s", args_.c_str(), ExitCode(), what.c_str()));
        Expect(found != nullptr, "never " + what + " (" + Showing() + ")");
        return found;
    }
    HWND FullScreen() {  // once it covers the screen (it may still be settling): an untitled topmost pop-up
        const HWND window = WaitFor("one window covering the screen", [&]() -> HWND {
            const auto shown = WindowsOf(pid_); const RECT r = shown.size() == 1 ? RectOf(shown[0]) : RECT{};
            return EqualRect(&r, &kScreen) ? shown[0] : nullptr;
        });
        const LONG style = GetWindowLongW(window, GWL_STYLE); RECT client = {}; GetClientRect(window, &client);
        Expect(EqualRect(&client, &kScreen) && (style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME)) &&
                   (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) && TitleOf(window).empty(),
               "the full-screen window is not an untitled topmost pop-up covering the screen: " + Describe(window));
        return window;
    }
private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::string args_;
};
inline std::wstring HandleText(HWND window) { return std::to_wstring(reinterpret_cast<uintptr_t>(window)); }
// A display panel's window for the preview; it may go when the child announces itself: at once or soon.
enum HostEnd : LONG_PTR { kHostStays, kHostGoesOnChild, kHostClosesAfterChild };
inline HWND MakeHost(HostEnd end = kHostStays) {
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
            const LONG_PTR end = message == WM_PARENTNOTIFY && LOWORD(w) == WM_CREATE ? GetWindowLongPtrW(hwnd, GWLP_USERDATA) : 0;
            if (end == kHostClosesAfterChild) PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return end == kHostGoesOnChild ? DestroyWindow(hwnd) : DefWindowProcW(hwnd, message, w, l);
        };
        wc.hInstance = GetModuleHandleW(nullptr); wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"TindlbrgE2EHost"; return RegisterClassW(&wc) != 0;
    }();
    const HWND host = CreateWindowExW(0, L"TindlbrgE2EHost", L"preview host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                      40, 40, 160, 130, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Expect(registered && host, Format("cannot create the host window (error %lu)", GetLastError()));
    SetWindowLongPtrW(host, GWLP_USERDATA, end);
    return host;
}

// ---- what the saver keeps: the settings key and the store files
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;
const wchar_t kCompanyKey[] = L"Software\\Pellucid Works";
const wchar_t kConfigKey[] = L"Software\\Pellucid Works\\tindlbrg\\Config";
// A function: tables of cases call P() while the program's globals are being made.
inline bool IsFloat(const std::string& name) {
    return std::string(" angleX angleY angleZ cbStep csStep ambient mirror ").find(" " + name + " ") != std::string::npos;
}
// Every value of `key` by name as a Profile (below) shows it, and below it when asked.
inline void Collect(HKEY key, const std::string& path, std::map<std::string, std::string>& out, bool recurse) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[512]; DWORD nameLength = 512, type = 0, size = 2048; BYTE data[2050] = {};  // the saver's are short
        const LONG status = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        // A longer value (a fault) still shows as one written, and the values after it are still read; any other
        // error ends the listing, shown too.
        if (status != ERROR_SUCCESS) out[path + Format("value %lu", i)] = Format("unreadable (%ld)", status);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        const std::string n = Narrow(std::wstring(name, nameLength));
        const bool isFloat = IsFloat(n);
        std::string& value = out[path + n];
        if (type == REG_DWORD && size == 4)
            value = (isFloat ? "dword " : "") + std::to_string(data[0] | data[1] << 8 | data[2] << 16 | uint32_t{data[3]} << 24);
        else if (type == REG_SZ)
            value = (isFloat ? "" : "text ") + Narrow(reinterpret_cast<const wchar_t*>(data));
        else
            value = Format("type %lu of %lu bytes", type, size);
    }
    for (DWORD i = 0; recurse; ++i) {
        wchar_t name[512]; DWORD nameLength = 512; HKEY sub = nullptr;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out[path + Narrow(name) + "\\"] = "key";  // a key made, even one left empty, was written
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        Collect(sub, path + Narrow(name) + "\\", out, true); RegCloseKey(sub);
    }
}
inline std::map<std::string, std::string> ReadKey(const wchar_t* path, bool recurse) {
    std::map<std::string, std::string> values; HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Collect(key, "", values, recurse); RegCloseKey(key);
    }
    return values;
}
inline std::string Differences(const std::map<std::string, std::string>& want,
                               const std::map<std::string, std::string>& got) {
    std::string diff;
    for (const auto& [name, value] : want) {
        const auto it = got.find(name);
        if (it == got.end()) diff += "; " + name + " is missing (expected " + value + ")";
        else if (it->second != value) diff += "; " + name + " is " + it->second + ", expected " + value;
    }
    for (const auto& [name, value] : got)
        if (!want.count(name)) diff += "; " + name + " = " + value + " is one too many";
    return diff.empty() ? diff : diff.substr(2);
}
// The settings key by name: floats as text, the rest as 32-bit words; P() is the built-in ones with `changes`.
using Profile = std::map<std::string, std::string>;
using Changes = std::initializer_list<std::pair<const std::string, std::string>>;
inline Profile With(Profile p, Changes changes) {
    for (const auto& [name, value] : changes) p[name] = value;
    for (auto& [name, value] : p)
        if (!IsFloat(name)) value = std::to_string(static_cast<uint32_t>(std::strtoll(value.c_str(), nullptr, 0)));
    return p;
}
inline Profile P(Changes changes = {}) {
    return With(Profile{{"angleX", "1.000000"}, {"angleY", "1.000000"}, {"angleZ", "-1.000000"}, {"cbStep", "1.460000"},
                 {"csStep", "0.010000"}, {"ambient", "0.340000"}, {"mirror", "0.995000"},   {"shape", "0"},
                 {"size1", "30"},        {"size2", "29"},         {"bound", "1"},           {"phong", "4"},
                 {"randomly", "0"},      {"switches", "127"},     {"color0", "0x0000FF"},   {"color1", "0x00FF00"},
                 {"color2", "0xFF0000"}, {"color3", "0x00B2B2"},  {"color4", "0xB2B200"},  {"color5", "0xB200B2"},
                 {"color6", "0x808080"}},
                changes);
}
inline uint32_t Number(const Profile& profile, const std::string& name) {
    return static_cast<uint32_t>(std::strtoul(profile.at(name).c_str(), nullptr, 10));
}
inline void WriteProfile(const Profile& profile) {  // floats as text, the rest as numbers
    for (const auto& [name, value] : profile) {
        const std::wstring text = Wide(value);
        const DWORD number = Number(profile, name), size = IsFloat(name) ? (text.size() + 1) * 2 : 4;
        const void* data = IsFloat(name) ? static_cast<const void*>(text.c_str()) : &number;
        Expect(RegSetKeyValueW(HKEY_CURRENT_USER, kConfigKey, Wide(name).c_str(), IsFloat(name) ? REG_SZ : REG_DWORD,
                               data, size) == ERROR_SUCCESS, "cannot write the setting " + name);
    }
}
// A store file: a 32-bit count, then 228-byte records; a record here as its bytes lie, little-endian.
struct Record {
    uint32_t lead = 1; char name[52] = {};  // up to 49 characters: Named()
    float angleX = 1, angleY = 1, angleZ = -1, cbStep = 0, csStep = 0;
    int32_t shape = 0, size1 = 30, size2 = 29, phong = 4; float mirror = 0.995f, ambient = 0.34f;
    int32_t on[7] = {1, 0, 0, 0, 0, 0, 0};
    uint32_t rgb[7][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {178, 178, 0}, {0, 178, 178}, {178, 0, 178}, {128, 128, 128}};
    uint8_t reserved[16] = {};
};
static_assert(sizeof(Record) == 228, "a store record is 228 bytes");
inline Record Named(const std::string& name) { Record r; name.copy(r.name, 49); return r; }
inline Bytes Encode(const Record& r) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&r); return Bytes(bytes, bytes + sizeof r);
}
inline Bytes Store(const std::vector<Bytes>& records) {
    const auto n = static_cast<uint32_t>(records.size());
    Bytes out{uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
    return out;
}
inline std::wstring WindowsStore() {  // C:\windows\tindlbrg.cfg
    wchar_t dir[MAX_PATH] = {}; GetWindowsDirectoryW(dir, MAX_PATH); return std::wstring(dir) + L"\\tindlbrg.cfg";
}
inline std::wstring UserStore() {  // the per-user copy, which wins when present
    wchar_t dir[MAX_PATH] = {};
    Expect(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, dir)),
           "cannot find the user's application data folder");
    return std::wstring(dir) + L"\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
}
inline std::wstring Scratch(const std::wstring& name = L"") {  // a file in the case's own empty folder
    wchar_t temp[MAX_PATH] = {}; GetTempPathW(MAX_PATH, temp); return std::wstring(temp) + L"tindlbrg-e2e\\" + name;
}
// Back-dated, a file the saver rewrites, even with the same bytes, shows.
inline void WriteFileBytes(const std::wstring& path, const Bytes& bytes, bool backdated = false) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream file(fs::path(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())); file.close();
    Expect(file.good(), "cannot write " + Narrow(path));
    if (backdated) fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(24 * 365 * 20));
}
inline std::optional<Bytes> ReadFileBytes(const std::wstring& path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    if (!file) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
inline void ExpectBytes(const std::optional<Bytes>& got, const Bytes& want, const std::string& what) {
    Expect(got.has_value(), what + " does not exist");
    const size_t first = std::mismatch(got->begin(), got->end(), want.begin(), want.end()).first - got->begin();
    Expect(*got == want, Format("%s holds %zu bytes, expected %zu; the first difference is at byte %zu (4 + 228 per record)",
                                what.c_str(), got->size(), want.size(), first));
}
inline void ResetStoredState() {
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
    Expect(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND, "cannot delete the saver's registry key");
    RegDeleteKeyW(HKEY_CURRENT_USER, kCompanyKey);
    for (const auto& path : {WindowsStore(), UserStore(), Scratch()}) fs::remove_all(path);
    fs::create_directory(Scratch());
}
// Every registry value below the company key, both store files and their time stamps.
struct Stored {
    std::map<std::string, std::string> registry; std::optional<Bytes> windows, user;
    fs::file_time_type windowsTime, userTime;
};
inline fs::file_time_type WriteTime(const std::wstring& path) {
    std::error_code missing; const auto time = fs::last_write_time(path, missing);
    return missing ? fs::file_time_type{} : time;  // a missing file as in Stored{}
}
inline Stored ReadStored() {
    return Stored{ReadKey(kCompanyKey, true), ReadFileBytes(WindowsStore()), ReadFileBytes(UserStore()),
                  WriteTime(WindowsStore()), WriteTime(UserStore())};
}
inline void ExpectUnchanged(const Stored& before, const std::string& mode) {  // "nothing was written"
    const Stored after = ReadStored(); const std::string diff = Differences(before.registry, after.registry);
    Expect(diff.empty(), mode + " wrote to the registry: " + diff);
    Expect(after.windows == before.windows && after.windowsTime == before.windowsTime,
           mode + (before.windows ? " wrote " : " created ") + Narrow(WindowsStore()));
    Expect(after.user == before.user && after.userTime == before.userTime,
           mode + (before.user ? " wrote " : " created ") + Narrow(UserStore()));
}

// ---- the screen: exact read-back into 0x00RRGGBB pixels, and the pictures to expect
struct Screenshot {
    int width = kScreen.right, height = kScreen.bottom;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[static_cast<size_t>(y) * width + x] : 0;
    }
    std::vector<uint32_t> Area(const RECT& r) const {
        std::vector<uint32_t> part;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) part.push_back(At(x, y));
        return part;
    }
};
inline Screenshot Capture() {
    Screenshot shot; BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr); HDC memory = CreateCompatibleDC(screen); void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    const bool copied = section && BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY); GdiFlush();
    if (copied) {
        shot.pixels.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + shot.width * shot.height);
        for (auto& p : shot.pixels) p &= 0x00FFFFFFu;  // the top byte of a DIB pixel is not defined
    }
    SelectObject(memory, old); if (section) DeleteObject(section); DeleteDC(memory); ReleaseDC(nullptr, screen);
    Expect(copied, Format("cannot read the screen (error %lu)", GetLastError())); return shot;
}
// Captures the screen until `wrong` reports "", failing with its last report.
inline Screenshot PollScreen(Saver& saver, const std::string& what,
                             const std::function<std::string(const Screenshot&)>& wrong, DWORD intervalMs = 20) {
    Screenshot shot; std::string report = "no look yet";
    PollUntil([&] { return shot = Capture(), report = wrong(shot), report.empty() || !saver.Running(); }, kDeadlineMs,
              intervalMs);
    Expect(saver.Running(), Format("the saver ended (status %lu) while %s", saver.ExitCode(), what.c_str()));
    Expect(report.empty(), "for " + std::to_string(kDeadlineMs / 1000) + " s never " + what + ": " + report);
    return shot;
}
inline void ExpectChanging(Saver& saver, const RECT& area, const std::string& what) {  // three changes of `area`
    std::vector<uint32_t> last = Capture().Area(area);
    for (int change = 0; change < 3; ++change)
        PollScreen(saver, "a change of " + what, [&](const Screenshot& shot) {
            auto now = shot.Area(area);
            if (now == last) return std::string("it stands still");
            last = std::move(now);
            return std::string();
        }, 10);
}
// Shape parameters with the fixed highlight (white) and light intensity (0.6).
inline ShapeImageParams Look(float lightX, float lightY, float lightZ, uint32_t packedColour, float ambient,
                             float mirror, int32_t phong, int32_t shape, int32_t outerSize, int32_t innerSize) {
    return ShapeImageParams{lightX, lightY,    lightZ, packedColour, 0x00FFFFFF, ambient, mirror,
                            0.6f,   phong,     outerSize, shape,     innerSize,  0,       0};
}
// "" when `area` shows exactly the image of `look` at `corner` on black; else what differs.
inline std::string ImageDiff(const Screenshot& shot, const RECT& area, const ShapeImageParams& look, POINT corner) {
    ButtonImageCreator creator(look); const auto& image = creator.GetImage().descriptor; size_t wrong = 0;
    std::string first;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            const LONG col = x - corner.x, row = y - corner.y;
            const bool inside = col >= 0 && row >= 0 && col < image.width && row < image.height;
            const uint32_t want = inside ? reinterpret_cast<const uint32_t*>(image.pixels + row * image.stride)[col] : 0;
            if (shot.At(x, y) == want) continue;
            if (++wrong <= 3) first += Format(" (%ld,%ld) is %06x, expected %06x;", x, y, shot.At(x, y), want);
        }
    return wrong ? Format("%zu pixels differ from the %dx%d image at (%ld,%ld):", wrong, image.width, image.height,
                          corner.x, corner.y) + first
                 : "";
}
const ShapeImageParams kNothing = Look(0, 0, 0, 0, 0, 0, 0, 0, -2, -2);  // an empty image: all black
