#include "dialog_driver.h"

#include <commctrl.h>

#include <algorithm>

#include "check.h"
#include "poll.h"
#include "saver.h"
#include "screen.h"
#include "window_search.h"

const wchar_t kDialogCaption[] =
    L"Shaded shapes, never cleared - Tindelborg Screen Saver 2.0 - Ring edition";
const wchar_t kPreviewClass[] = L"TindelborgDrawWnd";

namespace {

std::string Shown(const std::vector<HWND>& windows) {
    std::string text;
    for (HWND hwnd : windows) text += "; " + DescribeForMessage(Describe(hwnd));
    return text.empty() ? "no window" : text.substr(2);
}

}  // namespace

LRESULT SendTo(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, kDeadlineMs, &result))
        Fail(Format("the saver did not answer message %04x to window %p within %lu s (error %lu)", message,
                    static_cast<void*>(window), kDeadlineMs / 1000, GetLastError()));
    return static_cast<LRESULT>(result);
}

void PostTo(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (!PostMessageW(window, message, w, l))
        Fail(Format("cannot post message %04x to window %p (error %lu)", message, static_cast<void*>(window),
                    GetLastError()));
}

namespace {

// The saver starts where this driver is: its file dialogs open there. A small folder of
// its own keeps them quick, and away from the source tree.
std::unique_ptr<SaverProcess> StartInTempFolder(const std::vector<std::wstring>& args) {
    wchar_t temp[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, temp) == 0 || !SetCurrentDirectoryW(temp))
        Fail(Format("cannot change to the temporary folder (error %lu)", GetLastError()));
    return StartSaver(args);
}

}  // namespace

ConfigDialog::ConfigDialog(const std::vector<std::wstring>& args) : ConfigDialog(StartInTempFolder(args)) {}

ConfigDialog::ConfigDialog(std::unique_ptr<SaverProcess> saver) : saver_(std::move(saver)) {
    const std::string args = Narrow(saver_->CommandLine());
    PollUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(saver_->Pid()))
            if (Describe(hwnd).className == L"#32770") dialog_ = hwnd;
        return dialog_ != nullptr || !saver_->Running();
    });
    if (!dialog_) {
        if (!saver_->Running())
            Fail(Format("%s ended (status %lu) without showing its dialog", args.c_str(), saver_->ExitCode()));
        Fail(Format("%s showed no dialog within %lu s (%s)", args.c_str(), kDeadlineMs / 1000,
                    Shown(TopLevelWindowsOf(saver_->Pid())).c_str()));
    }
    PollUntil([&] {
        for (HWND hwnd : ChildWindowsOf(dialog_, saver_->Pid())) {
            const WindowInfo info = Describe(hwnd);
            if (info.className == kPreviewClass && info.visible) preview_ = hwnd;
        }
        return preview_ != nullptr || !saver_->Running();
    });
    Expect(saver_->Running(), Format("the saver ended (status %lu) right after showing its dialog", saver_->ExitCode()));
    Expect(preview_ != nullptr, Format("the dialog shows no live preview (no visible \"%s\" child) within %lu s",
                                       Narrow(kPreviewClass).c_str(), kDeadlineMs / 1000));
}

HWND ConfigDialog::Item(int id) const {
    HWND item = GetDlgItem(dialog_, id);
    if (!item) Fail(Format("the dialog has no control %d", id));
    return item;
}

LRESULT ConfigDialog::Send(HWND window, UINT message, WPARAM w, LPARAM l) {
    Expect(saver_->Running(), Format("the saver ended (status %lu) before message %04x", saver_->ExitCode(), message));
    return SendTo(window, message, w, l);
}

void ConfigDialog::Post(HWND window, UINT message, WPARAM w, LPARAM l) { PostTo(window, message, w, l); }

void ConfigDialog::Click(int id) {
    Expect(Enabled(id), Format("control %d cannot be clicked: it is disabled", id));
    Send(Item(id), BM_CLICK);
}

void ConfigDialog::PostClick(int id) {
    Expect(Enabled(id), Format("control %d cannot be clicked: it is disabled", id));
    Post(Item(id), BM_CLICK);
}

bool ConfigDialog::Checked(int id) { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }

bool ConfigDialog::Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

int ConfigDialog::TrackbarPosition(int id) { return static_cast<int>(Send(Item(id), TBM_GETPOS)); }
int ConfigDialog::TrackbarMin(int id) { return static_cast<int>(Send(Item(id), TBM_GETRANGEMIN)); }
int ConfigDialog::TrackbarMax(int id) { return static_cast<int>(Send(Item(id), TBM_GETRANGEMAX)); }

void ConfigDialog::MoveTrackbar(int id, int position) {
    const HWND trackbar = Item(id);
    Send(trackbar, TBM_SETPOS, TRUE, position);
    const LPARAM source = reinterpret_cast<LPARAM>(trackbar);
    Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), source);
    Send(dialog_, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), source);
}

void ConfigDialog::ChoosePreset(int index) {
    const HWND combo = Item(dlg::kPresetList);
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    Send(dialog_, WM_COMMAND, MAKEWPARAM(dlg::kPresetList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void ConfigDialog::ExpectButtonShows(int id, uint32_t rgb, const std::string& what) {
    // All of the face, focused or not: nothing but the colour is drawn on it.
    const HWND button = Item(id);
    uint32_t shown = 0;
    POINT at = {};
    const bool matched = PollUntil(
        [&] {
            RECT client;
            GetClientRect(button, &client);
            POINT origin = {0, 0};
            ClientToScreen(button, &origin);
            const Screenshot shot = Screenshot::Capture();
            for (LONG y = 0; y < client.bottom; ++y)
                for (LONG x = 0; x < client.right; ++x) {
                    shown = shot.At(origin.x + x, origin.y + y);
                    at = {x, y};
                    if (shown != rgb) return false;
                }
            return client.right > 0 && client.bottom > 0;
        },
        kDeadlineMs, 20);
    Expect(matched, Format("%s: button %d shows %06x at (%ld,%ld) of its face, expected %06x all over", what.c_str(),
                           id, shown, at.x, at.y, rgb));
}

void ConfigDialog::PressOk() {
    // What the user sees last matters little here; what counts is what gets written.
    PostClick(dlg::kOk);
    if (!saver_->WaitExit(kDeadlineMs))
        Fail(Format("the dialog did not end within %lu s after Ok (%s)", kDeadlineMs / 1000,
                    Shown(Windows()).c_str()));
    Expect(saver_->ExitCode() == 0, Format("after Ok the saver ended with status %lu, expected 0", saver_->ExitCode()));
}

void ConfigDialog::PressCancel() {
    PostClick(dlg::kCancel);
    if (!saver_->WaitExit(kDeadlineMs))
        Fail(Format("the dialog did not end within %lu s after Cancel (%s)", kDeadlineMs / 1000,
                    Shown(Windows()).c_str()));
}

std::vector<HWND> ConfigDialog::Windows() const { return TopLevelWindowsOf(saver_->Pid()); }

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    SendTo(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) {
    SendTo(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TypeInto(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) PostTo(edit, WM_CHAR, c, 1);
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const LRESULT count = SendTo(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendTo(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendTo(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(wcslen(text.c_str()));
        entries.push_back(text);
    }
    return entries;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendTo(combo, CB_GETCURSEL)); }

std::string DescribeEntries(const std::vector<std::wstring>& entries) {
    std::string text;
    for (const auto& entry : entries) text += (text.empty() ? "\"" : ", \"") + Narrow(entry) + "\"";
    return "[" + text + "]";
}

HWND WaitForModal(ConfigDialog& dialog, const std::vector<HWND>& before, const std::string& step) {
    HWND found = nullptr;
    PollUntil([&] {
        for (HWND hwnd : dialog.Windows())
            if (std::find(before.begin(), before.end(), hwnd) == before.end()) found = hwnd;
        return found != nullptr || !dialog.Saver().Running();
    });
    Expect(dialog.Saver().Running(),
           Format("the saver ended (status %lu) after %s", dialog.Saver().ExitCode(), step.c_str()));
    Expect(found != nullptr, Format("no window opened within %lu s after %s (%s)", kDeadlineMs / 1000, step.c_str(),
                                    Shown(dialog.Windows()).c_str()));
    return found;
}

HWND OpenModal(ConfigDialog& dialog, int id, const wchar_t* caption) {
    const auto before = dialog.Windows();
    dialog.PostClick(id);
    const std::string step = Format("a click on control %d", id);
    const HWND window = WaitForModal(dialog, before, step);
    if (caption) {
        const std::wstring title = Describe(window).title;
        Expect(title == caption, Format("%s opened \"%s\", expected \"%s\"", step.c_str(), Narrow(title).c_str(),
                                        Narrow(caption).c_str()));
    }
    return window;
}

void WaitClosed(ConfigDialog& dialog, HWND window, const std::string& what) {
    const bool closed = PollUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
    Expect(closed, Format("%s was still open %lu s later (%s)", what.c_str(), kDeadlineMs / 1000,
                          DescribeForMessage(Describe(window)).c_str()));
    Expect(dialog.Saver().Running(),
           Format("the saver ended (status %lu) when %s closed", dialog.Saver().ExitCode(), what.c_str()));
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!text) Fail("the message box has no text: " + DescribeForMessage(Describe(box)));
    return TextOf(text);
}

void PressButton(HWND window, int id) {
    HWND button = GetDlgItem(window, id);
    if (!button) Fail(Format("window \"%s\" has no button %d", Narrow(Describe(window).title).c_str(), id));
    Expect(IsWindowEnabled(button) != FALSE,
           Format("button %d of \"%s\" is disabled", id, Narrow(Describe(window).title).c_str()));
    PostTo(button, BM_CLICK);
}

void ChooseFile(HWND fileDialog, const std::wstring& path) {
    // The name field is an edit inside a combo box inside an extended combo box.
    HWND field = GetDlgItem(fileDialog, 0x47c);
    for (const wchar_t* inner : {L"ComboBox", L"Edit"}) {
        if (!field) break;
        wchar_t name[64] = {};
        GetClassNameW(field, name, 64);
        if (std::wstring(name) == L"Edit") break;
        HWND child = FindWindowExW(field, nullptr, inner, nullptr);
        if (child) field = child;
    }
    if (!field) field = GetDlgItem(fileDialog, 0x480);  // the old-style dialog's name field
    if (!field) Fail("the file dialog has no file name field: " + DescribeForMessage(Describe(fileDialog)));
    SetTextOf(field, path);
    PressButton(fileDialog, IDOK);
}

ColourFields ReadColourFields(HWND colourDialog) {
    auto number = [&](int id) {
        HWND field = GetDlgItem(colourDialog, id);
        if (!field) Fail(Format("the colour dialog has no field %d", id));
        return _wtoi(TextOf(field).c_str());
    };
    return ColourFields{number(706), number(707), number(708)};
}

void ChooseColour(HWND colourDialog, int red, int green, int blue) {
    const int ids[3] = {706, 707, 708};
    const int values[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        HWND field = GetDlgItem(colourDialog, ids[i]);
        if (!field) Fail(Format("the colour dialog has no field %d", ids[i]));
        SetTextOf(field, std::to_wstring(values[i]));
    }
    PressButton(colourDialog, IDOK);
}
