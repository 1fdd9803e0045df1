// Each control of the configuration dialog: what it shows right after being used, and
// what Ok then writes to the settings key, in the exact text or number form.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "cases.h"
#include "check.h"
#include "dialog_driver.h"
#include "dialog_expect.h"
#include "dialog_pixels.h"
#include "dialog_saved.h"
#include "poll.h"
#include "profile.h"
#include "saver.h"
#include "window_search.h"

namespace {

void ExpectPositions(ConfigDialog& dialog, int width, int height, const std::string& after) {
    const int shownWidth = dialog.TrackbarPosition(dlg::kWidth);
    const int shownHeight = dialog.TrackbarPosition(dlg::kHeight);
    Expect(shownWidth == width && shownHeight == height,
           Format("after %s the size trackbars show %d and %d, expected %d and %d", after.c_str(), shownWidth,
                  shownHeight, width, height));
}

// Settings away from the built-in ones in everything but the render options.
Profile CustomProfile() {
    Profile p;
    p.cbStep = 0.75f;
    p.csStep = 0.02f;
    p.switches = 5;
    p.randomly = 1;
    for (int i = 0; i < kSlots; ++i) p.color[i] = Rgb(20 * i + 5, 200 - 20 * i, 90);
    return p;
}

// Where the light angle editor puts the light for a press at client point (x, y): the
// point's offset from the centre in radii, pointing back at the viewer inside the disc.
struct Light {
    float x, y, z;
};

Light LightFor(HWND editor, int x, int y) {
    RECT client;
    GetClientRect(editor, &client);
    const int half = client.right / 2;
    const float radius = static_cast<float>(std::min(client.right, client.bottom) / 2 - 3);
    Light light;
    light.x = -(static_cast<float>(x - half) / radius);
    light.y = -(static_cast<float>(y - half) / radius);
    const float s = light.y * light.y + light.x * light.x;
    light.z = s < 1.0f ? -static_cast<float>(std::sqrt(static_cast<double>(1.0f - s))) : 0.0f;
    return light;
}

// The user sees the editor's sphere before pointing at it.
void WaitForLightEditor(ConfigDialog& dialog) {
    ExpectLightPicture(dialog, 1.0f, 1.0f, -1.0f, "its first picture, of the built-in light");
}

// The editor's centre (x and y alike) once the user sees its first picture.
int LightEditorCentre(ConfigDialog& dialog) {
    WaitForLightEditor(dialog);
    RECT client;
    GetClientRect(dialog.Item(dlg::kLightAngle), &client);
    return client.right / 2;
}

// What Ok writes after the light was pointed at the editor's centre: straight ahead.
Profile CentreLightProfile() {
    Profile p;
    p.angleX = -0.0f;
    p.angleY = -0.0f;
    p.angleZ = -1.0f;
    return p;
}

// A press and a release on the editor at one point, as the pointer gives them.
void PressLightEditor(ConfigDialog& dialog, int x, int y) {
    const HWND editor = dialog.Item(dlg::kLightAngle);
    dialog.Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    dialog.Post(editor, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A drag on a spinner centre: press, moves to client y 50, 40 and 44, release. The
// first move only takes its place; then 10 pixels up and 4 down are reported.
void DragSpinner(ConfigDialog& dialog, int id) {
    const HWND spinner = dialog.Item(id);
    dialog.Post(spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
    for (int y : {50, 40, 44}) dialog.Post(spinner, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, y));
    dialog.Post(spinner, WM_LBUTTONUP, 0, MAKELPARAM(5, 44));
}

}  // namespace

E2E_CASE(dialog_controls, size_trackbars_move_together_while_bound) {
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kWidth, 40);
    ExpectPositions(dialog, 40, 40, "moving \"Shape width\" to 40 with \"Bound\" checked");
    dialog.MoveTrackbar(dlg::kHeight, 12);
    ExpectPositions(dialog, 12, 12, "moving \"Shape height\" to 12 with \"Bound\" checked");
    dialog.PressOk();
    Profile want;
    want.size1 = want.size2 = 12;
    ExpectSavedProfile(want, "moving both size trackbars with \"Bound\" checked");
}

E2E_CASE(dialog_controls, size_trackbars_move_alone_without_bound) {
    ConfigDialog dialog;
    dialog.Click(dlg::kBound);
    Expect(!dialog.Checked(dlg::kBound), "a click on the checked \"Bound\" left it checked");
    dialog.MoveTrackbar(dlg::kWidth, 44);
    ExpectPositions(dialog, 44, 29, "moving \"Shape width\" to 44 without \"Bound\"");
    dialog.MoveTrackbar(dlg::kHeight, 7);
    ExpectPositions(dialog, 44, 7, "moving \"Shape height\" to 7 without \"Bound\"");
    dialog.PressOk();
    Profile want;
    want.bound = 0;
    want.size1 = 44;
    want.size2 = 7;
    ExpectSavedProfile(want, "moving the size trackbars apart");
}

E2E_CASE(dialog_controls, checking_bound_gives_height_the_width) {
    ConfigDialog dialog;
    dialog.Click(dlg::kBound);
    dialog.MoveTrackbar(dlg::kWidth, 44);
    dialog.Click(dlg::kBound);
    Expect(dialog.Checked(dlg::kBound), "a second click on \"Bound\" did not check it again");
    ExpectPositions(dialog, 44, 44, "checking \"Bound\" again with the width at 44");
    dialog.PressOk();
    Profile want;
    want.size1 = want.size2 = 44;
    ExpectSavedProfile(want, "checking \"Bound\" again");
}

// Nearly equal sizes would give a torus without a hole: it starts from 25 and 18.
E2E_CASE(dialog_controls, torus_from_the_built_in_sizes) {
    ConfigDialog dialog;
    dialog.Click(dlg::kTorus);
    Profile want;
    want.shape = 2;
    want.bound = 0;
    want.size1 = 25;
    want.size2 = 18;
    ExpectControlsShow(dialog, want, "after \"Torus\"");
    dialog.PressOk();
    ExpectSavedProfile(want, "\"Torus\"");
}

E2E_CASE(dialog_controls, torus_keeps_sizes_three_apart) {
    Profile stored;
    stored.bound = 0;
    stored.size1 = 30;
    stored.size2 = 27;
    WriteProfile(stored);
    ConfigDialog dialog;
    dialog.Click(dlg::kTorus);
    ExpectPositions(dialog, 30, 27, "\"Torus\" with sizes 30 and 27");
    dialog.PressOk();
    stored.shape = 2;
    ExpectSavedProfile(stored, "\"Torus\" with sizes three apart");
}

E2E_CASE(dialog_controls, sphere_enables_bound_and_leaves_it_unchecked) {
    ConfigDialog dialog;
    dialog.Click(dlg::kTorus);
    Expect(!dialog.Enabled(dlg::kBound), "\"Bound\" stays enabled for a torus");
    dialog.Click(dlg::kSphere);
    Profile want;
    want.bound = 0;
    want.size1 = 25;
    want.size2 = 18;
    ExpectControlsShow(dialog, want, "after \"Torus\" and then \"Sphere\"");
    dialog.PressOk();
    ExpectSavedProfile(want, "\"Torus\" and then \"Sphere\"");
}

E2E_CASE(dialog_controls, phong_trackbar) {
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kPhong, 17);
    dialog.PressOk();
    Profile want;
    want.phong = 17;
    ExpectSavedProfile(want, "moving \"Phong power\" to 17");
}

// Every trackbar at either end: the preview goes on running with the shapes they make,
// and Ok writes the values of the last end.
E2E_CASE(dialog_controls, trackbars_at_their_ends) {
    ConfigDialog dialog;
    dialog.Click(dlg::kBound);
    const RECT whole = VisiblePreviewPart(dialog.Preview(), nullptr);
    const int lows[5][2] = {{dlg::kWidth, 5}, {dlg::kHeight, 50}, {dlg::kPhong, 0}, {dlg::kMirror, 0}, {dlg::kAmbient, 100}};
    for (const auto& [id, position] : lows) dialog.MoveTrackbar(id, position);
    ExpectPreviewRuns(dialog, whole, "with width 5, height 50, Phong power 0, mirror 0 and ambient 100");
    const int highs[5][2] = {{dlg::kWidth, 50}, {dlg::kHeight, 5}, {dlg::kPhong, 20}, {dlg::kMirror, 100}, {dlg::kAmbient, 0}};
    for (const auto& [id, position] : highs) dialog.MoveTrackbar(id, position);
    ExpectPreviewRuns(dialog, whole, "with width 50, height 5, Phong power 20, mirror 100 and ambient 0");
    dialog.PressOk();
    Profile want;
    want.bound = 0;
    want.size1 = 50;
    want.size2 = 5;
    want.phong = 20;
    want.mirror = 100.0f / 100.0f;
    want.ambient = 0.0f / 100.0f;
    ExpectSavedProfile(want, "every trackbar at its end");
}

// The built-in 0.995 shows as 99; a touch of the trackbar makes it 0.99.
E2E_CASE(dialog_controls, touching_mirror_at_99_gives_0_99) {
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kMirror, 99);
    dialog.PressOk();
    Profile want;
    want.mirror = 0.99f;
    ExpectSavedProfile(want, "touching \"Mirror\" at 99");
    Expect(FloatText(want.mirror) == "0.990000", "0.99 does not read 0.990000");
}

E2E_CASE(dialog_controls, mirror_and_ambient_trackbars) {
    ConfigDialog dialog;
    dialog.MoveTrackbar(dlg::kMirror, 37);
    dialog.MoveTrackbar(dlg::kAmbient, 62);
    dialog.PressOk();
    Profile want;
    want.mirror = 37.0f / 100.0f;
    want.ambient = 62.0f / 100.0f;
    ExpectSavedProfile(want, "moving \"Mirror\" to 37 and \"Ambient\" to 62");
}

// Scroll notifications from anything but the five trackbars change nothing.
E2E_CASE(dialog_controls, other_scroll_sources_change_nothing) {
    ConfigDialog dialog;
    dialog.Send(dialog.Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7), 0);
    dialog.Send(dialog.Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7),
                reinterpret_cast<LPARAM>(dialog.Item(dlg::kRoundPlus)));
    dialog.Send(dialog.Handle(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                reinterpret_cast<LPARAM>(dialog.Item(dlg::kPresetList)));
    dialog.PressOk();
    ExpectSavedProfile(Profile{}, "scroll notifications from other sources");
}

// No limit on the speeds: ten steps down from 0.002 pass zero.
E2E_CASE(dialog_controls, ten_clicks_on_round_minus) {
    Profile stored;
    stored.csStep = 0.002f;
    WriteProfile(stored);
    ConfigDialog dialog;
    for (int i = 0; i < 10; ++i) dialog.Click(dlg::kRoundMinus);
    dialog.PressOk();
    float speed = ThroughText(stored.csStep);
    for (int i = 0; i < 10; ++i) speed += -1.0f * dlg::kSpeedStep;
    stored.csStep = speed;
    ExpectSavedProfile(stored, "ten clicks on the \"Round\" speed's \"-\"");
    Expect(FloatText(speed) == "-0.003091", "ten steps down from 0.002 do not read -0.003091: " + FloatText(speed));
}

E2E_CASE(dialog_controls, each_speed_button_steps_its_own_speed) {
    ConfigDialog dialog;
    for (int i = 0; i < 10; ++i) dialog.Click(dlg::kRadialMinus);
    for (int i = 0; i < 3; ++i) dialog.Click(dlg::kRadialPlus);
    for (int i = 0; i < 2; ++i) dialog.Click(dlg::kRoundPlus);
    dialog.PressOk();
    Profile want;
    for (int i = 0; i < 10; ++i) want.cbStep += -1.0f * dlg::kSpeedStep;
    for (int i = 0; i < 3; ++i) want.cbStep += 1.0f * dlg::kSpeedStep;
    for (int i = 0; i < 2; ++i) want.csStep += 1.0f * dlg::kSpeedStep;
    ExpectSavedProfile(want, "ten \"-\" and three \"+\" on \"Radial\", two \"+\" on \"Round\"");
}

// Dragging up raises the speed by one step per pixel, dragging down lowers it; moves
// without a press, and a press and release without a move, change nothing.
E2E_CASE(dialog_controls, spinner_drags) {
    ConfigDialog dialog;
    const HWND round = dialog.Item(dlg::kRoundSpinner);
    for (int y : {50, 10}) dialog.Post(round, WM_MOUSEMOVE, 0, MAKELPARAM(5, y));  // no press: nothing
    dialog.Post(round, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
    dialog.Post(round, WM_LBUTTONUP, 0, MAKELPARAM(5, 3));
    DragSpinner(dialog, dlg::kRoundSpinner);
    DragSpinner(dialog, dlg::kRadialSpinner);
    dialog.PressOk();
    Profile want;
    for (float* speed : {&want.csStep, &want.cbStep}) {
        *speed += 10.0f * dlg::kSpeedStep;
        *speed += -4.0f * dlg::kSpeedStep;
    }
    ExpectSavedProfile(want, "a drag on each spinner centre (10 pixels up, 4 down)");
}

E2E_CASE(dialog_controls, switches_toggle_their_slots) {
    ConfigDialog dialog;
    for (int slot : {0, 2, 4, 6}) dialog.Click(dlg::SwitchId(slot));
    Profile want;
    want.switches = 0x2A;  // slots 1, 3 and 5 left on
    ExpectControlsShow(dialog, want, "after switching slots 0, 2, 4 and 6 off");
    dialog.PressOk();
    ExpectSavedProfile(want, "switching slots 0, 2, 4 and 6 off");
}

// A loaded mask keeps each slot's bit value as its switch; a click toggles it all the same.
E2E_CASE(dialog_controls, switches_from_a_stored_mask_toggle) {
    Profile stored;
    stored.switches = 5;
    WriteProfile(stored);
    ConfigDialog dialog;
    for (int slot : {1, 2, 3, 5}) dialog.Click(dlg::SwitchId(slot));
    stored.switches = 1 | 2 | 8 | 32;
    ExpectControlsShow(dialog, stored, "after toggling slots 1, 2, 3 and 5 of mask 5");
    dialog.PressOk();
    ExpectSavedProfile(stored, "toggling slots 1, 2, 3 and 5 of mask 5");
}

E2E_CASE(dialog_controls, colour_chosen_in_the_colour_dialog) {
    ConfigDialog dialog;
    const auto before = dialog.Windows();
    dialog.PostClick(dlg::ColourId(3));
    const HWND chooser = WaitForModal(dialog, before, "a click on the colour button of slot 3");
    const ColourFields shown = ReadColourFields(chooser);
    Expect(shown.red == 178 && shown.green == 178 && shown.blue == 0,
           Format("the colour dialog opens on %d, %d, %d, expected slot 3's 178, 178, 0", shown.red, shown.green,
                  shown.blue));
    ChooseColour(chooser, 12, 34, 56);
    WaitClosed(dialog, chooser, "the colour dialog");
    dialog.ExpectButtonShows(dlg::ColourId(3), ScreenRgb(Rgb(12, 34, 56)), "after choosing 12, 34, 56");
    dialog.PressOk();
    Profile want;
    want.color[3] = Rgb(12, 34, 56);
    ExpectSavedProfile(want, "choosing 12, 34, 56 for slot 3");
}

// Each button opens the colour dialog on its own slot's colour and sets that slot only.
E2E_CASE(dialog_controls, every_colour_button_sets_its_own_slot) {
    ConfigDialog dialog;
    const Profile builtIn;
    Profile want;
    for (int slot = 0; slot < kSlots; ++slot) {
        const HWND chooser = OpenModal(dialog, dlg::ColourId(slot), nullptr);
        const ColourFields shown = ReadColourFields(chooser);
        const uint32_t was = builtIn.color[slot];
        Expect(Rgb(shown.red, shown.green, shown.blue) == was,
               Format("the colour dialog of slot %d opens on %d, %d, %d, expected %u, %u, %u", slot, shown.red,
                      shown.green, shown.blue, was & 255, was >> 8 & 255, was >> 16));
        const int red = 10 + slot, green = 100 + slot, blue = 200 + slot;
        ChooseColour(chooser, red, green, blue);
        WaitClosed(dialog, chooser, Format("the colour dialog of slot %d", slot));
        want.color[slot] = Rgb(red, green, blue);
        dialog.ExpectButtonShows(dlg::ColourId(slot), ScreenRgb(want.color[slot]), Format("slot %d's new colour", slot));
    }
    ExpectControlsShow(dialog, want, "after choosing all seven colours");
    dialog.PressOk();
    ExpectSavedProfile(want, "choosing all seven colours");
}

E2E_CASE(dialog_controls, colour_dialog_cancel_changes_nothing) {
    ConfigDialog dialog;
    const auto before = dialog.Windows();
    dialog.PostClick(dlg::ColourId(5));
    const HWND chooser = WaitForModal(dialog, before, "a click on the colour button of slot 5");
    for (int id : {706, 707, 708}) SetTextOf(GetDlgItem(chooser, id), L"9");
    PressButton(chooser, IDCANCEL);
    WaitClosed(dialog, chooser, "the colour dialog");
    dialog.ExpectButtonShows(dlg::ColourId(5), ScreenRgb(Profile{}.color[5]), "after a cancelled colour dialog");
    dialog.PressOk();
    ExpectSavedProfile(Profile{}, "a cancelled colour dialog");
}

E2E_CASE(dialog_controls, colour_reset_leaves_everything_else) {
    Profile stored = CustomProfile();
    stored.phong = 11;
    WriteProfile(stored);
    ConfigDialog dialog;
    dialog.Click(dlg::kResetColours);
    const Profile builtIn;
    for (int i = 0; i < kSlots; ++i) stored.color[i] = builtIn.color[i];
    ExpectControlsShow(dialog, stored, "after the colours' \"Reset\"");
    dialog.PressOk();
    ExpectSavedProfile(stored, "the colours' \"Reset\"");
}

// The render options go back to the built-in ones; speeds, colours, switches and the
// random option stay; the light editor keeps its picture until it is next used.
E2E_CASE(dialog_controls, render_reset_leaves_speeds_colours_and_switches) {
    Profile stored = CustomProfile();
    stored.angleX = 0.3f;
    stored.angleY = 0.2f;
    stored.angleZ = -0.5f;
    stored.shape = 2;
    stored.size1 = 12;
    stored.size2 = 44;
    stored.phong = 9;
    stored.mirror = 0.5f;
    stored.ambient = 0.8f;
    stored.bound = 0;
    WriteProfile(stored);
    ConfigDialog dialog;
    ExpectLightPicture(dialog, 0.3f, 0.2f, -0.5f, "the stored light direction");
    const auto picture = LightPicture(dialog);
    dialog.Click(dlg::kResetRender);
    Profile want = CustomProfile();
    ExpectControlsShow(dialog, want, "after the render options' \"Reset\"");
    // Repainted now, the editor shows whatever its picture holds.
    RedrawWindow(dialog.Item(dlg::kLightAngle), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Expect(LightPicture(dialog) == picture, "the render options' \"Reset\" changed the light angle editor's picture");
    dialog.PressOk();
    ExpectSavedProfile(want, "the render options' \"Reset\"");
}

E2E_CASE(dialog_controls, light_press_at_the_centre) {
    ConfigDialog dialog;
    const int half = LightEditorCentre(dialog);
    PressLightEditor(dialog, half, half);
    ExpectLightPicture(dialog, 0.0f, 0.0f, -1.0f, "a light from straight ahead");
    dialog.PressOk();
    const Profile want = CentreLightProfile();
    ExpectSavedProfile(want, "a press at the light editor's centre");
    Expect(FloatText(want.angleX) == "-0.000000", "minus zero does not read -0.000000");
}

E2E_CASE(dialog_controls, light_press_half_a_radius_right) {
    ConfigDialog dialog;
    const int half = LightEditorCentre(dialog);
    const HWND editor = dialog.Item(dlg::kLightAngle);
    RECT client;
    GetClientRect(editor, &client);
    const int radius = std::min(client.right, client.bottom) / 2 - 3;
    const int x = half + radius / 2;
    const Light light = LightFor(editor, x, half);
    PressLightEditor(dialog, x, half);
    ExpectLightPicture(dialog, light.x, light.y, light.z, "a light from the right");
    dialog.PressOk();
    Profile want;
    want.angleX = light.x;
    want.angleY = light.y;
    want.angleZ = light.z;
    ExpectSavedProfile(want, Format("a press %d pixels right of the light editor's centre (radius %d)", x - half, radius));
    if (radius % 2 == 0)
        Expect(FloatText(light.x) == "-0.500000" && FloatText(light.z) == FloatText(-std::sqrt(0.75f)),
               "half a radius does not give -0.5 and -sqrt(0.75)");
}

// Beyond the rim the light lies in the picture's plane.
E2E_CASE(dialog_controls, light_press_outside_the_rim) {
    ConfigDialog dialog;
    WaitForLightEditor(dialog);
    const HWND editor = dialog.Item(dlg::kLightAngle);
    RECT client;
    GetClientRect(editor, &client);
    const Light light = LightFor(editor, 1, 1);
    PressLightEditor(dialog, 1, 1);
    dialog.PressOk();
    Profile want;
    want.angleX = light.x;
    want.angleY = light.y;
    want.angleZ = 0.0f;
    ExpectSavedProfile(want, "a press in the light editor's corner");
}

// Moving over the editor without a press changes nothing; a release alone points the light.
E2E_CASE(dialog_controls, light_release_without_a_press) {
    ConfigDialog dialog;
    WaitForLightEditor(dialog);
    const HWND editor = dialog.Item(dlg::kLightAngle);
    dialog.Post(editor, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    dialog.Post(editor, WM_MOUSEMOVE, 0, MAKELPARAM(30, 50));
    const Light light = LightFor(editor, 30, 50);
    dialog.Post(editor, WM_LBUTTONUP, 0, MAKELPARAM(30, 50));
    ExpectLightPicture(dialog, light.x, light.y, light.z, "the light of a release alone");
    dialog.PressOk();
    Profile want;
    want.angleX = light.x;
    want.angleY = light.y;
    want.angleZ = light.z;
    ExpectSavedProfile(want, "moves and a release over the light editor");
}

// A drag goes on outside the control: far to the left the light's x passes 1.
E2E_CASE(dialog_controls, light_drag_beyond_the_control) {
    ConfigDialog dialog;
    const int half = LightEditorCentre(dialog);
    const HWND editor = dialog.Item(dlg::kLightAngle);
    dialog.Post(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(half, half));
    for (int x : {half - 20, -60, -200})
        dialog.Post(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), half));
    dialog.Post(editor, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-200), half));
    const Light light = LightFor(editor, -200, half);
    dialog.PressOk();
    Profile want;
    want.angleX = light.x;
    want.angleY = light.y;
    want.angleZ = 0.0f;
    ExpectSavedProfile(want, "a drag from the light editor's centre to 200 pixels left of it");
    Expect(light.x > 1.0f, "the expected light does not pass 1");
}

// A move to client row -1 leaves the drag without a reference: the move after it only
// takes its place again.
E2E_CASE(dialog_controls, spinner_row_minus_one_is_no_reference) {
    ConfigDialog dialog;
    const HWND spinner = dialog.Item(dlg::kRadialSpinner);
    dialog.Post(spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
    for (int y : {50, -1, 10, 5})
        dialog.Post(spinner, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, static_cast<WORD>(y)));
    dialog.Post(spinner, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    dialog.PressOk();
    Profile want;
    want.cbStep += 51.0f * dlg::kSpeedStep;  // 50 to -1
    want.cbStep += 5.0f * dlg::kSpeedStep;   // 10 to 5
    ExpectSavedProfile(want, "a spinner drag through row -1");
}

// A release on the editor that arrives before the editor has first been painted (the
// dialog has only just appeared) still points the light at that spot.
E2E_CASE(dialog_controls, light_release_before_the_first_paint) {
    auto saver = StartSaver({});
    HWND editor = nullptr;
    // As early as the control exists: the message then comes before any paint.
    PollUntil(
        [&] {
            for (HWND hwnd : TopLevelWindowsOf(saver->Pid(), false))
                if (!editor) editor = GetDlgItem(hwnd, dlg::kLightAngle);
            return editor != nullptr || !saver->Running();
        },
        kDeadlineMs, 1);
    Expect(editor != nullptr, "the dialog's light angle editor never appeared");
    PostTo(editor, WM_LBUTTONUP, 0, MAKELPARAM(30, 50));
    const Light light = LightFor(editor, 30, 50);
    ConfigDialog dialog(std::move(saver));
    dialog.PressOk();
    Profile want;
    want.angleX = light.x;
    want.angleY = light.y;
    want.angleZ = light.z;
    ExpectSavedProfile(want, "a release on the light editor before its first paint");
}

E2E_CASE(dialog_controls, choose_presets_randomly_on) {
    ConfigDialog dialog;
    dialog.Click(dlg::kRandomly);
    dialog.PressOk();
    Profile want;
    want.randomly = 1;
    ExpectSavedProfile(want, "checking \"Choose presets randomly\"");
}

E2E_CASE(dialog_controls, choose_presets_randomly_off) {
    Profile stored;
    stored.randomly = 1;
    WriteProfile(stored);
    ConfigDialog dialog;
    Expect(dialog.Checked(dlg::kRandomly), "a stored random option shows unchecked");
    dialog.Click(dlg::kRandomly);
    dialog.PressOk();
    stored.randomly = 0;
    ExpectSavedProfile(stored, "unchecking \"Choose presets randomly\"");
}

// A drag cancelled in mid-way (a window popping up) or its capture taken ends it as a
// release would: the button goes up elsewhere, and later hovering changes nothing. Each
// drag first moves with the button held, which must still count.
E2E_CASE(dialog_controls, lost_capture_ends_every_drag) {
    ConfigDialog dialog;
    const int half = LightEditorCentre(dialog);
    struct Loss {
        int id;
        UINT message;
    };
    for (const Loss& loss : {Loss{dlg::kRoundSpinner, WM_CANCELMODE}, Loss{dlg::kRoundSpinner, WM_CAPTURECHANGED},
                             Loss{dlg::kRadialSpinner, WM_CAPTURECHANGED}, Loss{dlg::kRadialSpinner, WM_CANCELMODE},
                             Loss{dlg::kLightAngle, WM_CAPTURECHANGED}, Loss{dlg::kLightAngle, WM_CANCELMODE}}) {
        const HWND control = dialog.Item(loss.id);
        if (loss.id == dlg::kLightAngle) {
            // Pressed off centre, dragged to the centre.
            dialog.Post(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(half - 20, half - 20));
            dialog.Post(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(half, half));
        } else {
            // The first move takes the reference; the second is 10 pixels up.
            dialog.Post(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            for (int y : {40, 30}) dialog.Post(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, y));
        }
        dialog.Post(control, loss.message, 0, 0);
        for (int y : {50, 10, 30}) dialog.Post(control, WM_MOUSEMOVE, 0, MAKELPARAM(half - 20, y));
    }
    dialog.PressOk();
    // Each speed two drags of 10 steps up; the light where the drag left it.
    Profile want = CentreLightProfile();
    for (float* speed : {&want.csStep, &want.cbStep}) {
        *speed += 10.0f * dlg::kSpeedStep;
        *speed += 10.0f * dlg::kSpeedStep;
    }
    ExpectSavedProfile(want, "drags whose capture was lost, then hovering");
}
