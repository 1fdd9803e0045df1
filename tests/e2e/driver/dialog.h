// The configuration dialog, driven from outside the way a user's input reaches it.
#pragma once

#include "driver.h"

#include <commctrl.h>

#include <array>

namespace id {
constexpr int kOk = IDOK, kCancel = IDCANCEL, kHelp = 1047, kPresetList = 1003, kSave = 1017, kExport = 1034,
              kImport = 1035, kDelete = 1018, kRandomly = 1069, kWidth = 1011, kHeight = 1015, kPhong = 1008,
              kMirror = 1013, kAmbient = 1012, kBound = 1036, kLight = 1016, kSphere = 1037, kTorus = 1038,
              kResetColours = 1033, kRoundPlus = 1043, kRoundSpinner = 1048, kRoundMinus = 1046, kRadialPlus = 1044,
              kRadialSpinner = 1049, kRadialMinus = 1045, kPresetName = 1000, kExportFile = 1061, kBoxText = 0xFFFF;
constexpr int Switch(int slot) { return 1020 + 2 * slot; }
constexpr int Colour(int slot) { return 1019 + 2 * slot; }
}  // namespace id

inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {}; Send(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text)); return text;
}
inline void SetText(HWND window, const std::wstring& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
inline void Type(HWND edit, const std::wstring& text) { for (wchar_t c : text) Post(edit, WM_CHAR, c, 1); }  // WM_CHARs
inline std::vector<std::wstring> Entries(HWND combo) {
    std::vector<std::wstring> entries;
    for (LRESULT i = 0, count = Send(combo, CB_GETCOUNT); i < count; ++i) {
        wchar_t text[256] = {};  // a preset's name is at most 49 characters
        Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}
// CB_SETCURSEL and the notification to the combo box's owner.
inline void Select(HWND combo, int index, WORD notification = CBN_SELCHANGE) {
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), notification);
    // A confirmed choice may open a question box: post it, or it would hold this thread.
    if (notification == CBN_SELENDOK) Post(GetParent(combo), WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
    else Send(GetParent(combo), WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
}
inline std::string Show(const std::vector<std::wstring>& entries) {
    std::string text; for (const auto& entry : entries) text += (text.empty() ? "\"" : ", \"") + Narrow(entry) + "\"";
    return "[" + text + "]";
}
inline void ExpectList(HWND combo, const std::vector<std::wstring>& want, const std::string& where) {
    std::vector<std::wstring> got;
    Expect(PollUntil([&] { return (got = Entries(combo)) == want; }),
           where + " lists " + Show(got) + ", expected " + Show(want));
}
inline void Press(HWND window, int id) {  // a posted click on an enabled button of a modal window
    HWND button = GetDlgItem(window, id);
    Expect(button && IsWindowEnabled(button), Format("\"%s\" has no enabled button %d", Narrow(TitleOf(window)).c_str(), id));
    Post(button, BM_CLICK);
}
inline void ChooseFile(HWND fileDialog, const std::wstring& path) {  // Wine's: an edit in a combo in a ComboBoxEx
    HWND field = GetDlgItem(fileDialog, 0x47c);
    for (const wchar_t* inner : {L"ComboBox", L"Edit"})
        if (HWND child = field && ClassOf(field) != L"Edit" ? FindWindowExW(field, nullptr, inner, nullptr) : nullptr)
            field = child;
    if (!field) field = GetDlgItem(fileDialog, 0x480);
    Expect(field != nullptr, "the file dialog has no name field: " + Describe(fileDialog)); SetText(field, path);
    Press(fileDialog, IDOK);
}
class Dialog {
public:
    // Starts the saver with `args` and waits until its dialog and the live preview in it show.
    explicit Dialog(const std::vector<std::wstring>& args = {}) : saver_(args) {
        preview_ = saver_.WaitFor("its dialog with a live preview", [&]() -> HWND {
            for (HWND hwnd : Windows())
                if (ClassOf(hwnd) == L"#32770") dialog_ = hwnd;
            for (HWND hwnd : dialog_ ? ChildrenOf(dialog_, saver_.Pid()) : std::vector<HWND>())
                if (ClassOf(hwnd) == L"TindelborgDrawWnd" && IsWindowVisible(hwnd)) return hwnd;
            return nullptr;
        });
    }
    Saver& saver() { return saver_; }
    HWND Handle() const { return dialog_; }
    HWND Preview() const { return preview_; }
    std::vector<HWND> Windows() const { return WindowsOf(saver_.Pid()); }
    HWND Item(int id) const {
        HWND item = GetDlgItem(dialog_, id); Expect(item != nullptr, Format("the dialog has no control %d", id));
        return item;
    }
    bool Checked(int id) { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id, bool post = false) {  // handled when this returns, or posted for what opens a modal window
        Expect(Enabled(id), Format("control %d cannot be clicked: it is disabled", id));
        if (post) Post(Item(id), BM_CLICK);
        else Send(Item(id), BM_CLICK);
    }
    void PostClick(int id) { Click(id, true); }
    int Position(int id) { return static_cast<int>(Send(Item(id), TBM_GETPOS)); }
    void Track(int id, int position) {  // TBM_SETPOS and a drag's scroll notifications
        const HWND trackbar = Item(id); Send(trackbar, TBM_SETPOS, TRUE, position);
        Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(trackbar));
        Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
    }
    void Choose(int index) { Select(Item(id::kPresetList), index); }  // -1 for none
    // The window `act` opens, with `caption` when given.
    template <class Act>
    HWND Opened(Act act, const std::string& step, const wchar_t* caption = nullptr) {
        const auto before = Windows();
        act();
        const HWND window = saver_.WaitFor("a new window after " + step, [&]() -> HWND {
            for (HWND hwnd : Windows())
                if (std::find(before.begin(), before.end(), hwnd) == before.end()) return hwnd;
            return nullptr;
        });
        Expect(!caption || TitleOf(window) == caption, step + " opened \"" + Narrow(TitleOf(window)) + "\"");
        return window;
    }
    HWND Open(int id, const wchar_t* caption = nullptr) {  // the window a posted click opens
        return Opened([&] { PostClick(id); }, Format("a click on control %d", id), caption);
    }
    void WaitClosed(HWND window, const std::string& what) {
        Expect(PollUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }), what + " is still open");
        Expect(saver_.Running(), Format("the saver ended (status %lu) when %s closed", saver_.ExitCode(), what.c_str()));
    }
    // Ok or Cancel, and the end with status 0.
    void Ok() { PostClick(id::kOk); saver_.ExpectEnds(0, "Ok"); }
    void Cancel() { PostClick(id::kCancel); saver_.ExpectEnds(0, "Cancel"); }
    // A press (or a double click's second press), moves with the button held and a release, posted to control `id`.
    void Drag(int id, std::initializer_list<POINT> points, bool release = true, UINT press = WM_LBUTTONDOWN) {
        const HWND control = Item(id); const POINT* p = points.begin();
        Post(control, press, MK_LBUTTON, At(p->x, p->y));
        for (++p; p != points.end(); ++p) Post(control, WM_MOUSEMOVE, MK_LBUTTON, At(p->x, p->y));
        if (release) Post(control, WM_LBUTTONUP, 0, At(points.end()[-1].x, points.end()[-1].y));
    }
private:
    Saver saver_;
    HWND dialog_ = nullptr, preview_ = nullptr;
};
// Every control against the settings, the trackbars (width, height, Phong, mirror, ambient) at `positions`.
inline void ExpectControls(Dialog& d, const Profile& s, std::array<int, 5> positions, const std::string& when) {
    std::string wrong;
    auto check = [&](bool ok, const std::string& what) { if (!ok) wrong += "; " + what; };
    for (int slot = 0; slot < 7; ++slot)
        check(d.Checked(id::Switch(slot)) == ((Number(s, "switches") >> slot & 1) != 0), Format("switch %d", slot));
    const int ids[5] = {id::kWidth, id::kHeight, id::kPhong, id::kMirror, id::kAmbient};
    for (int i = 0; i < 5; ++i)
        check(d.Position(ids[i]) == positions[i], Format("trackbar %d at %d, not %d", ids[i], d.Position(ids[i]), positions[i]));
    const bool sphere = Number(s, "shape") == 0;
    check(d.Checked(id::kBound) == (Number(s, "bound") != 0), "Bound's check");
    check(d.Enabled(id::kBound) == sphere, "Bound enabled only for a sphere");
    check(d.Checked(id::kSphere) == sphere && d.Checked(id::kTorus) == !sphere, "Sphere or Torus");
    check(d.Checked(id::kRandomly) == (Number(s, "randomly") != 0), "\"Choose presets randomly\"");
    Expect(wrong.empty(), "the controls do not show the settings " + when + ": " + wrong.substr(std::min<size_t>(2, wrong.size())));
    for (int slot = 0; slot < 7; ++slot) {  // all of each colour button's face, focused or not, shows its colour
        const uint32_t packed = Number(s, "color" + std::to_string(slot));
        const uint32_t rgb = (packed & 0xFF) << 16 | (packed & 0xFF00) | (packed >> 16 & 0xFF);
        const RECT face = ClientOnScreen(d.Item(id::Colour(slot)));
        PollScreen(d.saver(), Format("colour button %d showing %06x all over %s", slot, rgb, when.c_str()), [&](const Screenshot& shot) {
            const auto pixels = shot.Area(face);
            const auto other = std::find_if(pixels.begin(), pixels.end(), [&](uint32_t pixel) { return pixel != rgb; });
            return other == pixels.end() ? std::string() : Format("a pixel of it is %06x", *other);
        });
    }
}
// The light angle editor shows the blue sphere of its fixed material lit from (x, y, z).
inline void ExpectLightPicture(Dialog& d, float x, float y, float z, const std::string& what) {
    // An 87x74 control: radius 34 (half the smaller side less 3), the 71-pixel image 8 pixels in on both axes.
    const RECT area = ClientOnScreen(d.Item(id::kLight));
    const ShapeImageParams look = Look(x, y, z, 0xFF0000, 0.4f, 0.995f, 4, 0, 34, 34);
    PollScreen(d.saver(), Format("the light angle editor showing %s (light %g, %g, %g)", what.c_str(), x, y, z),
               [&](const Screenshot& shot) { return ImageDiff(shot, area, look, POINT{area.left + 8, area.top + 8}); });
}
