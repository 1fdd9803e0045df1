// Settings placed in the registry beforehand change what the full-screen saver draws.
#include "cases.h"
#include "check.h"
#include "profile.h"
#include "registry.h"
#include "saver.h"

E2E_CASE(settings, colour_from_registry) {
    Profile profile = StillProfile();
    profile.color[0] = Rgb(40, 120, 200);
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 0), "a sphere in colour 40,120,200");
}

E2E_CASE(settings, torus_from_registry) {
    Profile profile = StillProfile();
    profile.shape = 2;
    profile.size1 = 30;
    profile.size2 = 20;
    profile.color[0] = Rgb(200, 180, 20);
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 0), "a torus 30/20");
}

E2E_CASE(settings, light_and_shading_from_registry) {
    Profile profile = StillProfile();
    profile.angleX = -0.5f;
    profile.angleY = 0.25f;
    profile.angleZ = -0.75f;
    profile.ambient = 0.25f;
    profile.mirror = 0.5f;
    profile.phong = 10;
    profile.size1 = 20;
    profile.size2 = 20;
    profile.color[0] = Rgb(90, 90, 250);
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 0), "a sphere lit from the upper right");
}

// Only the switched-on slot is drawn, in that slot's colour.
E2E_CASE(settings, only_switched_on_slot_is_drawn) {
    Profile profile = StillProfile();
    profile.switches = 1 << 3;
    profile.color[3] = Rgb(30, 200, 90);
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 3), "slot 3's green sphere");
}

// Bits above the blue byte of a colour value are ignored.
E2E_CASE(settings, colour_high_byte_ignored) {
    Profile profile = StillProfile();
    profile.color[0] = 0x01B2B200;
    WriteProfile(profile);
    ExpectFullScreenShows(LookOf(profile, 0), "a sphere in colour 0,178,178");
}

// Hand-edited texts: a number followed by other characters counts as the number, a
// text without a number leaves the built-in value.
E2E_CASE(settings, float_texts_read_leniently) {
    Profile profile = StillProfile();
    profile.size1 = 24;
    profile.size2 = 24;
    WriteProfile(profile);
    WriteText(L"angleX", "2.5xyz");
    WriteText(L"ambient", "abc");
    ShapeLook look = LookOf(profile, 0);
    look.angleX = 2.5f;
    look.ambient = 0.34f;
    ExpectFullScreenShows(look, "a sphere lit with angleX 2.5 and the built-in ambient");
}
