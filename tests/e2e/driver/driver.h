// What the end-to-end cases share: failing and polling, the case runner, the saver as a
// child process, its windows and input, the preview host, what the saver keeps (settings
// key, store files), the screen read-back and the configuration dialog driver.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/shape_shading.h"

struct CaseFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& message);  // the first time it saves the screen too
inline void Expect(bool condition, const std::string& message) {
    if (!condition) Fail(message);
}
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string Narrow(const std::wstring& text); std::wstring Wide(const std::string& text);

// Long enough for a slow, busy machine; a case only waits this long when it fails.
constexpr DWORD kDeadlineMs = 10000; void PumpMessages();
// True as soon as done() holds, pumping this thread's messages in between (a preview
// host must answer while the saver makes its child in it); false at the deadline.
template <class Condition>
bool PollUntil(Condition done, DWORD timeoutMs = kDeadlineMs, DWORD intervalMs = 5) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages(); if (done()) return true; if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, intervalMs, QS_ALLINPUT);
    }
}
inline void Pause(DWORD ms) { PollUntil([] { return false; }, ms); }

// Each case runs in a driver process of its own, from no settings, no store files, an
// empty scratch folder and the pointer at (100, 100).
void AddCase(const std::string& name, std::function<void()> run);
#define E2E_CASE(group, name)                                                                       \
    static void group##_##name();                                                                   \
    static const bool group##_##name##_added = (AddCase(#group "." #name, group##_##name), true); \
    static void group##_##name()
// One case per row of a table, named group.row.
template <class Row, size_t N>
bool AddRows(const char* group, const Row (&rows)[N], void (*run)(const Row&)) {
    for (const Row& row : rows) AddCase(std::string(group) + "." + row.name, [&row, run] { run(row); });
    return true;
}
extern double soakMinutes; extern std::wstring soakCsv;

// Top-level windows of a process (only visible ones unless asked: Wine keeps hidden
// helper windows in every GUI process), or its children of `parent` at any depth.
std::vector<HWND> WindowsOf(DWORD pid, bool visibleOnly = true); std::vector<HWND> ChildrenOf(HWND parent, DWORD pid);
std::wstring ClassOf(HWND window); std::wstring TitleOf(HWND window); std::string Describe(HWND window);
RECT RectOf(HWND window); RECT ClientOnScreen(HWND window); LONG StyleOf(HWND window, int which = GWL_STYLE);

// Posted messages fail the case when they cannot be posted; sent ones when the saver does
// not answer in time (a hung saver fails the case instead of stalling it).
void Post(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);
void PostKey(HWND window, UINT message, UINT virtualKey);  // WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYUP
void SendKeyPress(WORD virtualKey);                        // through the system's input queue
void MovePointer(POINT screen);
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The saver under test, started with exactly `args` from the temporary folder (its file
// dialogs open there), and terminated if a case ends while it runs.
class Saver {
public:
    explicit Saver(const std::vector<std::wstring>& args); ~Saver(); Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const; DWORD ExitCode() const;
    const std::string& Args() const { return args_; }
    std::string Showing() const;
    void ExpectEnds(DWORD status, const std::string& after);     // within the deadline
    void ExpectAnswers(HWND window, const std::string& when);  // still running and answering
    HWND FullScreen();  // once it covers the screen: an untitled topmost pop-up

private:
    HANDLE process_ = nullptr; DWORD pid_ = 0; std::string args_;
};
void TerminateAllSavers();
// Starts the saver and fails unless it ends by itself with `status`, never showing a window.
void ExpectEndsWithoutWindow(const std::vector<std::wstring>& args, DWORD status);
std::wstring HandleText(HWND window);  // as the display panel passes it: a decimal number

// The window a display panel lends to the preview. It may go away by itself when the
// saver's child announces its creation: at once, or by a message it posts itself.
class HostWindow {
public:
    enum class End { Never, OnChildCreated, SoonAfterChildCreated };
    HostWindow(int clientWidth, int clientHeight, End end = End::Never);
    ~HostWindow() { Destroy(); }
    HostWindow(const HostWindow&) = delete; HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};
HWND WaitForPreviewChild(Saver& saver, HWND host);  // its visible child in `host`

// ---- what the saver keeps

using Bytes = std::vector<uint8_t>;
// The settings key by value name: the seven floats as their exact text, every other value
// as its 32-bit number in decimal (a value of the wrong type shows its type). P() is the
// built-in settings with `changes` (numbers in hex or negative are kept as the word).
using Profile = std::map<std::string, std::string>;
using Changes = std::initializer_list<std::pair<const std::string, std::string>>; Profile P(Changes changes = {});
Profile With(Profile base, Changes changes);
std::string Rgb(unsigned red, unsigned green, unsigned blue);  // a packed colour, red lowest
uint32_t Number(const Profile& profile, const std::string& name); void WriteProfile(const Profile& profile);
Profile ReadProfile();
void ExpectProfile(const Profile& want, const std::string& after);  // with every difference
// Every value absurd at once: light (nan, inf, -inf), speeds nan and -inf, ambient -inf,
// mirror 1e30, shape 2147483647, sizes -2000000000 and 2000000000, Phong 2000000000,
// switch mask 0xFFFFFFFF and every colour 0xFF123456.
Profile Absurd();

// A store file: a 32-bit count, then 228-byte records, encoded byte by byte.
struct Record {
    std::string name = "preset"; float angleX = 1.0f, angleY = 1.0f, angleZ = -1.0f, cbStep = 0.0f, csStep = 0.0f;
    int32_t shape = 0, size1 = 30, size2 = 29, phong = 4; float mirror = 0.995f, ambient = 0.34f;
    int32_t on[7] = {1, 0, 0, 0, 0, 0, 0};
    uint32_t colour[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00B2B2, 0xB2B200, 0xB200B2, 0x808080};  // packed
};
constexpr size_t kRecordSize = 228; Bytes Encode(const Record& record);
Bytes Store(const std::vector<Bytes>& records); void PutWord(Bytes& bytes, size_t offset, uint32_t value);

std::wstring WindowsStore();                     // C:\windows\tindlbrg.cfg
std::wstring UserStore();                        // the per-user copy, which wins when present
std::wstring Scratch(const std::wstring& name);  // a file in the case's own empty folder
void WriteFileBytes(const std::wstring& path, const Bytes& bytes); std::optional<Bytes> ReadFileBytes(const std::wstring& path);
void Backdate(const std::wstring& path);  // a saver that rewrote the file, even the same bytes, shows
void ExpectBytes(const std::optional<Bytes>& got, const Bytes& want, const std::string& what);
void ResetStoredState();

// Every registry value below the company key, both store files and their time stamps.
struct Stored {
    std::map<std::string, std::string> registry; std::optional<Bytes> windows, user;
    uint64_t windowsTime = 0, userTime = 0;
};
Stored ReadStored();
void ExpectUnchanged(const Stored& before, const std::string& mode);  // "nothing was written"

// ---- the screen: exact read-back into 0x00RRGGBB pixels, and the pictures to expect

class Screenshot {
public:
    static Screenshot Capture();
    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[static_cast<size_t>(y) * width_ + x] : 0;
    }
    std::vector<uint32_t> Area(const RECT& screen) const; bool SaveBmp(const std::wstring& path) const;

private:
    int width_ = 0, height_ = 0; std::vector<uint32_t> pixels_;
};
// Captures the screen until `wrong` reports "" (the screen is as wanted), failing with its
// last report at the deadline or when `saver` ends.
RECT WholeScreen();
Screenshot PollScreen(Saver* saver, const std::string& what, const std::function<std::string(const Screenshot&)>& wrong,
                      DWORD intervalMs = 20);
// Until `area` has changed three times.
void ExpectChanging(Saver& saver, const RECT& area, const std::string& what);
// Shape parameters with the fixed highlight (white) and light intensity (0.6).
ShapeImageParams Look(float lightX, float lightY, float lightZ, uint32_t packedColour, float ambient, float mirror,
                      int32_t phong, int32_t shape, int32_t outerSize, int32_t innerSize);
// "" when `area` shows exactly the image of `look` at `corner` on black; else what differs.
std::string ImageDiff(const Screenshot& shot, const RECT& area, const ShapeImageParams& look, POINT corner);
// What a picture drawn from absurd values must look like.
enum class Rule {
    Black,        // nothing appears, looked at across many frame bursts
    DarkestGrey,  // every lit pixel 010101 (shading that is not a number)
    Answers,      // the saver only has to keep answering
};
void ExpectPicture(Saver& saver, HWND window, const RECT& area, Rule rule, const std::string& what);

// ---- the configuration dialog, driven from outside the way a user's input reaches it

namespace id {
constexpr int kOk = IDOK, kCancel = IDCANCEL, kHelp = 1047, kPreviewArea = 1006, kPresetList = 1003, kSave = 1017,
              kExport = 1034, kImport = 1035, kDelete = 1018, kRandomly = 1069, kWidth = 1011, kHeight = 1015,
              kPhong = 1008, kMirror = 1013, kAmbient = 1012, kBound = 1036, kLight = 1016, kSphere = 1037,
              kTorus = 1038, kResetRender = 1042, kResetColours = 1033, kRoundPlus = 1043, kRoundSpinner = 1048,
              kRoundMinus = 1046, kRadialPlus = 1044, kRadialSpinner = 1049, kRadialMinus = 1045;
constexpr int Switch(int slot) { return 1020 + 2 * slot; }
constexpr int Colour(int slot) { return 1019 + 2 * slot; }
constexpr int kPresetName = 1000, kExportFile = 1061, kBrowse = 1059;  // in the preset dialogs
}  // namespace id

class Dialog {
public:
    // Starts the saver with `args` (or takes one started already) and waits until its
    // dialog and the live preview in it show.
    explicit Dialog(const std::vector<std::wstring>& args = {}); explicit Dialog(std::unique_ptr<Saver> saver);
    Saver& saver() { return *saver_; }
    HWND Handle() const { return dialog_; }
    HWND Preview() const { return preview_; }
    HWND Item(int id) const;
    std::vector<HWND> Windows() const { return WindowsOf(saver_->Pid()); }

    void Click(int id);      // handled when this returns
    void PostClick(int id);  // for what opens a modal window
    bool Checked(int id) { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Position(int id); void Track(int id, int position);  // TBM_SETPOS and a drag's scroll notifications
    void Choose(int index);            // in the preset list, -1 for none
    HWND WaitForNew(const std::vector<HWND>& before, const std::string& step);
    HWND Open(int id, const wchar_t* caption = nullptr);  // the window a posted click opens
    void WaitClosed(HWND window, const std::string& what);
    void Ok();      // and the end with status 0
    void Cancel();  // and the end
    // A press, moves with the button held and a release, posted to control `id`.
    void Drag(int id, std::initializer_list<POINT> points, bool release = true);

private:
    std::unique_ptr<Saver> saver_; HWND dialog_ = nullptr, preview_ = nullptr;
};

std::wstring TextOf(HWND window); void SetText(HWND window, const std::wstring& text);
void Type(HWND edit, const std::wstring& text);  // one WM_CHAR each
std::vector<std::wstring> Entries(HWND combo); int Selection(HWND combo);
void Select(HWND owner, HWND combo, int index, WORD notification);  // CB_SETCURSEL and the notification
std::string Show(const std::vector<std::wstring>& entries);
void ExpectList(HWND combo, const std::vector<std::wstring>& want, const std::string& where);
void Press(HWND window, int id);  // a posted click on an enabled button of a modal window
void ChooseFile(HWND fileDialog, const std::wstring& path); std::array<int, 3> ColourFields(HWND colourDialog);
void ChooseColour(HWND colourDialog, int red, int green, int blue);

// Every control against the settings: switches, colour buttons, Bound, Sphere, Torus, the
// random option, and the five trackbars at `positions` (width, height, Phong, mirror,
// ambient). Fails with every difference.
void ExpectControls(Dialog& dialog, const Profile& settings, std::array<int, 5> positions, const std::string& when);
void ExpectButtonShows(Dialog& dialog, int id, uint32_t packedColour, const std::string& what);
// The widest strip of the preview that `cover` leaves visible, in screen co-ordinates.
RECT VisiblePreview(HWND preview, HWND cover = nullptr);
// Once the last stamped shapes have reached the screen, the picture stays the same.
void ExpectPreviewStill(Dialog& dialog, const RECT& part, const std::string& when);
// The light angle editor shows the blue sphere of its fixed material lit from (x, y, z).
void ExpectLightPicture(Dialog& dialog, float x, float y, float z, const std::string& what);
