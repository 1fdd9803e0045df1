#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "driver.h"

Dialog::Dialog(const std::vector<std::wstring>& args) : Dialog(std::make_unique<Saver>(args)) {}

Dialog::Dialog(std::unique_ptr<Saver> saver) : saver_(std::move(saver)) {
    PollUntil([&] {
        for (HWND hwnd : Windows())
            if (ClassOf(hwnd) == L"#32770") dialog_ = hwnd;
        for (HWND hwnd : dialog_ ? ChildrenOf(dialog_, saver_->Pid()) : std::vector<HWND>())
            if (ClassOf(hwnd) == L"TindelborgDrawWnd" && IsWindowVisible(hwnd)) preview_ = hwnd;
        return preview_ != nullptr || !saver_->Running();
    });
    Expect(saver_->Running(), Format("%s ended (status %lu) without its dialog", saver_->Args().c_str(), saver_->ExitCode()));
    Expect(dialog_ != nullptr, saver_->Args() + " showed no dialog: " + saver_->Showing());
    Expect(preview_ != nullptr, "the dialog shows no live preview (no visible \"TindelborgDrawWnd\" child)");
}

HWND Dialog::Item(int id) const {
    HWND item = GetDlgItem(dialog_, id); Expect(item != nullptr, Format("the dialog has no control %d", id));
    return item;
}

void Dialog::Click(int id) {
    Expect(Enabled(id), Format("control %d cannot be clicked: it is disabled", id)); Send(Item(id), BM_CLICK);
}

void Dialog::PostClick(int id) {
    Expect(Enabled(id), Format("control %d cannot be clicked: it is disabled", id)); Post(Item(id), BM_CLICK);
}

int Dialog::Position(int id) { return static_cast<int>(Send(Item(id), TBM_GETPOS)); }

void Dialog::Track(int id, int position) {
    const HWND trackbar = Item(id); Send(trackbar, TBM_SETPOS, TRUE, position);
    Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(trackbar));
    Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

void Dialog::Choose(int index) { Select(dialog_, Item(id::kPresetList), index, CBN_SELCHANGE); }

HWND Dialog::WaitForNew(const std::vector<HWND>& before, const std::string& step) {
    HWND found = nullptr;
    PollUntil([&] {
        for (HWND hwnd : Windows())
            if (std::find(before.begin(), before.end(), hwnd) == before.end()) found = hwnd;
        return found != nullptr || !saver_->Running();
    });
    Expect(saver_->Running(), Format("the saver ended (status %lu) after %s", saver_->ExitCode(), step.c_str()));
    Expect(found != nullptr, "no window opened after " + step + " (" + saver_->Showing() + ")"); return found;
}

HWND Dialog::Open(int id, const wchar_t* caption) {
    const auto before = Windows(); PostClick(id);
    const HWND window = WaitForNew(before, Format("a click on control %d", id));
    Expect(!caption || TitleOf(window) == caption, Format("control %d opened \"%s\", expected \"%s\"", id,
                                                         Narrow(TitleOf(window)).c_str(), caption ? Narrow(caption).c_str() : ""));
    return window;
}

void Dialog::WaitClosed(HWND window, const std::string& what) {
    Expect(PollUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }), what + " is still open");
    Expect(saver_->Running(), Format("the saver ended (status %lu) when %s closed", saver_->ExitCode(), what.c_str()));
}

void Dialog::Ok() {
    PostClick(id::kOk); saver_->ExpectEnds(0, "Ok");
}

void Dialog::Cancel() {
    PostClick(id::kCancel);
    Expect(PollUntil([&] { return !saver_->Running(); }), "the dialog did not end on Cancel: " + saver_->Showing());
}

void Dialog::Drag(int id, std::initializer_list<POINT> points, bool release) {
    const HWND control = Item(id); const POINT* p = points.begin();
    Post(control, WM_LBUTTONDOWN, MK_LBUTTON, At(p->x, p->y));
    for (++p; p != points.end(); ++p) Post(control, WM_MOUSEMOVE, MK_LBUTTON, At(p->x, p->y));
    if (release) Post(control, WM_LBUTTONUP, 0, At(points.end()[-1].x, points.end()[-1].y));
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {}; Send(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text)); return text;
}

void SetText(HWND window, const std::wstring& text) { Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

void Type(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) Post(edit, WM_CHAR, c, 1);
}

std::vector<std::wstring> Entries(HWND combo) {
    std::vector<std::wstring> entries;
    for (LRESULT i = 0, count = Send(combo, CB_GETCOUNT); i < count; ++i) {
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(Send(combo, CB_GETLBTEXTLEN, i), 0)) + 1, L'\0');
        Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        entries.push_back(text.c_str());
    }
    return entries;
}

int Selection(HWND combo) { return static_cast<int>(Send(combo, CB_GETCURSEL)); }

void Select(HWND owner, HWND combo, int index, WORD notification) {
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), notification);
    // A confirmed choice may open a question box: post it, or it would hold this thread.
    if (notification == CBN_SELENDOK) Post(owner, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
    else Send(owner, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
}

std::string Show(const std::vector<std::wstring>& entries) {
    std::string text; for (const auto& entry : entries) text += (text.empty() ? "\"" : ", \"") + Narrow(entry) + "\"";
    return "[" + text + "]";
}

void ExpectList(HWND combo, const std::vector<std::wstring>& want, const std::string& where) {
    std::vector<std::wstring> got;
    Expect(PollUntil([&] { return (got = Entries(combo)) == want; }),
           where + " lists " + Show(got) + ", expected " + Show(want));
}

void Press(HWND window, int id) {
    HWND button = GetDlgItem(window, id);
    Expect(button && IsWindowEnabled(button), Format("\"%s\" has no enabled button %d", Narrow(TitleOf(window)).c_str(), id));
    Post(button, BM_CLICK);
}

void ChooseFile(HWND fileDialog, const std::wstring& path) {
    // Wine's name field is an edit inside a combo box inside an extended combo box.
    HWND field = GetDlgItem(fileDialog, 0x47c);
    for (const wchar_t* inner : {L"ComboBox", L"Edit"})
        if (HWND child = field && ClassOf(field) != L"Edit" ? FindWindowExW(field, nullptr, inner, nullptr) : nullptr)
            field = child;
    if (!field) field = GetDlgItem(fileDialog, 0x480);
    Expect(field != nullptr, "the file dialog has no name field: " + Describe(fileDialog)); SetText(field, path);
    Press(fileDialog, IDOK);
}

std::array<int, 3> ColourFields(HWND colourDialog) {
    std::array<int, 3> rgb{};
    for (int i = 0; i < 3; ++i) rgb[i] = _wtoi(TextOf(GetDlgItem(colourDialog, 706 + i)).c_str());
    return rgb;
}

void ChooseColour(HWND colourDialog, int red, int green, int blue) {
    const int rgb[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) SetText(GetDlgItem(colourDialog, 706 + i), std::to_wstring(rgb[i]));
    Press(colourDialog, IDOK);
}

void ExpectControls(Dialog& d, const Profile& s, std::array<int, 5> positions, const std::string& when) {
    std::string wrong;
    auto check = [&](bool ok, const std::string& what) {
        if (!ok) wrong += "; " + what;
    };
    for (int slot = 0; slot < 7; ++slot)
        check(d.Checked(id::Switch(slot)) == ((Number(s, "switches") >> slot & 1) != 0), Format("switch %d", slot));
    const int ids[5] = {id::kWidth, id::kHeight, id::kPhong, id::kMirror, id::kAmbient};
    const int lows[5] = {5, 5, 0, 0, 0}, highs[5] = {50, 50, 20, 100, 100};
    for (int i = 0; i < 5; ++i) {
        const int min = static_cast<int>(Send(d.Item(ids[i]), TBM_GETRANGEMIN));
        const int max = static_cast<int>(Send(d.Item(ids[i]), TBM_GETRANGEMAX));
        check(d.Position(ids[i]) == positions[i] && min == lows[i] && max == highs[i],
              Format("trackbar %d shows %d in %d..%d, expected %d in %d..%d", ids[i], d.Position(ids[i]), min, max,
                     positions[i], lows[i], highs[i]));
    }
    const bool sphere = Number(s, "shape") == 0;
    check(d.Checked(id::kBound) == (Number(s, "bound") != 0), "Bound's check");
    check(d.Enabled(id::kBound) == sphere, "Bound enabled only for a sphere");
    check(d.Checked(id::kSphere) == sphere && d.Checked(id::kTorus) == !sphere, "Sphere or Torus");
    check(d.Checked(id::kRandomly) == (Number(s, "randomly") != 0), "\"Choose presets randomly\"");
    Expect(wrong.empty(), "the controls do not show the settings " + when + ": " + wrong.substr(std::min<size_t>(2, wrong.size())));
    for (int slot = 0; slot < 7; ++slot)
        ExpectButtonShows(d, id::Colour(slot), Number(s, "color" + std::to_string(slot)), "slot's colour " + when);
}

void ExpectButtonShows(Dialog& d, int id, uint32_t packed, const std::string& what) {
    // All of the face, focused or not: nothing but the colour is drawn on it.
    const uint32_t rgb = (packed & 0xFF) << 16 | (packed & 0xFF00) | (packed >> 16 & 0xFF);
    const RECT face = ClientOnScreen(d.Item(id));
    PollScreen(&d.saver(), Format("button %d showing %06x all over (%s)", id, rgb, what.c_str()), [&](const Screenshot& shot) {
        for (LONG y = face.top; y < face.bottom; ++y)
            for (LONG x = face.left; x < face.right; ++x)
                if (shot.At(x, y) != rgb) return Format("(%ld,%ld) of the face is %06x", x - face.left, y - face.top, shot.At(x, y));
        return std::string();
    });
}

RECT VisiblePreview(HWND preview, HWND cover) {
    const RECT whole = ClientOnScreen(preview); RECT covered, coverRect = cover ? RectOf(cover) : RECT{};
    if (!cover || !IntersectRect(&covered, &whole, &coverRect)) return whole;
    const RECT strips[4] = {{whole.left, whole.top, covered.left, whole.bottom},
                            {covered.right, whole.top, whole.right, whole.bottom},
                            {whole.left, whole.top, whole.right, covered.top},
                            {whole.left, covered.bottom, whole.right, whole.bottom}};
    auto area = [](const RECT& r) { return r.right > r.left && r.bottom > r.top ? (r.right - r.left) * (r.bottom - r.top) : 0; };
    const RECT part = *std::max_element(strips, strips + 4, [&](const RECT& a, const RECT& b) { return area(a) < area(b); });
    Expect(part.right - part.left >= 40 && part.bottom - part.top >= 40, "a window covers nearly all of the preview");
    return part;
}

void ExpectPreviewStill(Dialog& d, const RECT& part, const std::string& when) {
    // Shapes stamped just before the pause and parts just uncovered may still be on their
    // way to the screen: wait for three looks in a row at one picture.
    std::vector<uint32_t> still = Screenshot::Capture().Area(part); int same = 0;
    PollScreen(&d.saver(), "a still preview " + when, [&](const Screenshot& shot) {
        auto now = shot.Area(part); if (now == still && ++same == 2) return std::string(); if (now != still) same = 0;
        still = std::move(now); return std::string("it changed within 100 ms");
    }, 100);
    // Running, it changes every few milliseconds.
    for (const ULONGLONG end = GetTickCount64() + 700; GetTickCount64() < end; Pause(10)) {
        const auto now = Screenshot::Capture().Area(part); size_t changed = 0;
        for (size_t i = 0; i < now.size(); ++i) changed += now[i] != still[i];
        Expect(changed == 0, Format("the preview went on drawing %s: %zu pixels of (%ld,%ld)-(%ld,%ld) changed",
                                    when.c_str(), changed, part.left, part.top, part.right, part.bottom));
    }
}

void ExpectLightPicture(Dialog& d, float x, float y, float z, const std::string& what) {
    const RECT area = ClientOnScreen(d.Item(id::kLight));
    Expect(area.right - area.left == 87 && area.bottom - area.top == 74,
           Format("the light angle editor is %ldx%ld, not 87x74", area.right - area.left, area.bottom - area.top));
    // Radius 34 (half the smaller side less 3), the 71-pixel image 8 pixels in on both axes.
    const ShapeImageParams look = Look(x, y, z, 0xFF0000, 0.4f, 0.995f, 4, 0, 34, 34);
    PollScreen(&d.saver(), Format("the light angle editor showing %s (light %g, %g, %g)", what.c_str(), x, y, z),
               [&](const Screenshot& shot) { return ImageDiff(shot, area, look, POINT{area.left + 8, area.top + 8}); });
}
