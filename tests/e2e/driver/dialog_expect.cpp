#include "dialog_expect.h"

#include <algorithm>

#include "check.h"
#include "dialog_driver.h"

int ShownPosition(int value, int min, int max) { return std::clamp(value, min, max); }

int PercentShown(float value) { return ShownPosition(static_cast<int>(value * 100.0f), 0, 100); }

void ExpectControlsShow(ConfigDialog& dialog, const Profile& s, const std::string& when) {
    std::string wrong;
    for (int slot = 0; slot < kSlots; ++slot) {
        const bool on = (s.switches >> slot & 1) != 0;
        if (dialog.Checked(dlg::SwitchId(slot)) != on)
            wrong += Format("; the \"on\" box of slot %d is %s", slot, on ? "unchecked" : "checked");
    }
    struct Slider {
        const char* name;
        int id, min, max, value;
    };
    const Slider sliders[] = {
        {"Shape width", dlg::kWidth, 5, 50, s.size1},
        {"Shape height", dlg::kHeight, 5, 50, s.size2},
        {"Phong power", dlg::kPhong, 0, 20, s.phong},
        {"Mirror", dlg::kMirror, 0, 100, static_cast<int>(s.mirror * 100.0f)},
        {"Ambient", dlg::kAmbient, 0, 100, static_cast<int>(s.ambient * 100.0f)},
    };
    for (const auto& slider : sliders) {
        const int min = dialog.TrackbarMin(slider.id), max = dialog.TrackbarMax(slider.id);
        const int position = dialog.TrackbarPosition(slider.id);
        const int want = ShownPosition(slider.value, slider.min, slider.max);
        if (min != slider.min || max != slider.max)
            wrong += Format("; \"%s\" runs from %d to %d, expected %d to %d", slider.name, min, max, slider.min,
                            slider.max);
        if (position != want) wrong += Format("; \"%s\" shows %d, expected %d", slider.name, position, want);
    }
    const bool bound = s.bound != 0, sphere = s.shape == 0;
    if (dialog.Checked(dlg::kBound) != bound) wrong += bound ? "; \"Bound\" is unchecked" : "; \"Bound\" is checked";
    if (dialog.Enabled(dlg::kBound) != sphere) wrong += sphere ? "; \"Bound\" is disabled" : "; \"Bound\" is enabled";
    if (dialog.Checked(dlg::kSphere) != sphere) wrong += sphere ? "; \"Sphere\" is unchecked" : "; \"Sphere\" is checked";
    if (dialog.Checked(dlg::kTorus) == sphere) wrong += sphere ? "; \"Torus\" is checked" : "; \"Torus\" is unchecked";
    if (dialog.Checked(dlg::kRandomly) != (s.randomly != 0))
        wrong += s.randomly ? "; \"Choose presets randomly\" is unchecked" : "; \"Choose presets randomly\" is checked";
    if (!wrong.empty()) Fail("the controls do not show the settings " + when + ": " + wrong.substr(2));
    for (int slot = 0; slot < kSlots; ++slot)
        dialog.ExpectButtonShows(dlg::ColourId(slot), ScreenRgb(s.color[slot]),
                                 Format("the colour of slot %d %s", slot, when.c_str()));
}
