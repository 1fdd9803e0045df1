// Writes the seed corpora of the fuzz targets into <folder>/<target>/: store and preset
// files written by the saver's own code, the profile the saver saves with its defaults,
// and the command lines, parameter blocks and paths of its everyday use.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "presets/memory_profile.h"
#include "presets/preset_store.h"
#include "presets/profile_forms.h"
#include "render/shape_shading.h"

namespace {

using Bytes = std::string;

std::string gRoot;

std::string Folder(const std::string& target) {
    const std::string folder = gRoot + "/" + target;
    std::filesystem::create_directories(folder);
    return folder;
}

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    std::ofstream out(Folder(target) + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bytes Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AddWord(Bytes& out, uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(word >> (8 * i)));
}

void AddFloat(Bytes& out, float value) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    AddWord(out, word);
}

SaverSettings Defaults() {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    return s;
}

void StoreSeeds() {
    const std::string folder = Folder("fuzz_store_load");
    OwnedPresetStore store;
    SaveStore(store, folder + "/empty_store.cfg");

    SaverSettings s = Defaults();
    AddPreset(store, MakePresetFromSettings("Tindelborg", s));
    s.shape = 2;
    s.size1 = 40;
    s.size2 = 12;
    s.cbStep = -0.7f;
    AddPreset(store, MakePresetFromSettings("Ring", s));
    s = Defaults();
    for (int i = 1; i < kShapeSlots; ++i) s.switches[i] = 0;
    s.color[0] = ShapeColor{1, 2, 3};
    s.phong = 40;
    AddPreset(store, MakePresetFromSettings("100% %s %n", s));
    SaveStore(store, folder + "/three_presets.cfg");

    const Bytes three = Get(folder + "/three_presets.cfg");
    Bytes cut = three.substr(0, 4 + 2 * kPresetBytes + kPresetBytes / 2);
    cut[0] = 5;
    Put("fuzz_store_load", "count_5_two_and_a_half.cfg", cut);
    Bytes negative = three.substr(0, 4 + kPresetBytes);
    negative[0] = negative[1] = negative[2] = negative[3] = '\xFF';
    Put("fuzz_store_load", "negative_count.cfg", negative);
    Put("fuzz_store_load", "three_bytes.cfg", Bytes("\x01\x00\x00", 3));
}

void PresetSeeds() {
    const std::string folder = Folder("fuzz_preset_file");
    OwnedPresetStore store;
    SaverSettings s = Defaults();
    AddPreset(store, MakePresetFromSettings("Tindelborg", s));
    AddPreset(store, MakePresetFromSettings(std::string(49, 'N'), s));
    s.shape = 2;
    s.size1 = 30;
    s.size2 = 20;
    AddPreset(store, MakePresetFromSettings("Torus", s));
    s = Defaults();
    s.cbStep = std::numeric_limits<float>::quiet_NaN();
    s.csStep = std::numeric_limits<float>::infinity();
    s.size1 = std::numeric_limits<int32_t>::max();
    s.shape = 1;
    AddPreset(store, MakePresetFromSettings("absurd", s));
    WritePresetFile(store, 0, folder + "/default.pre");
    WritePresetFile(store, 1, folder + "/name_of_49.pre");
    WritePresetFile(store, 2, folder + "/torus.pre");
    WritePresetFile(store, 3, folder + "/absurd.pre");

    Bytes record = Get(folder + "/default.pre");
    Bytes unterminated = record;
    for (size_t i = 4; i < 4 + kPresetNameField; ++i) unterminated[i] = 'x';
    Put("fuzz_preset_file", "name_without_zero.pre", unterminated);
    Put("fuzz_preset_file", "one_byte_more.pre", record + "\n");
    Put("fuzz_preset_file", "one_byte_short.pre", record.substr(0, kPresetBytes - 1));
}

void ProfileSeeds() {
    static const char* const names[] = {
        "angleX", "angleY", "angleZ", "cbStep",   "csStep",   "ambient", "mirror",
        "shape",  "size1",  "size2",  "bound",    "phong",    "randomly", "switches",
        "color0", "color1", "color2", "color3",   "color4",   "color5",  "color6",
    };
    MemoryProfile profile;
    SaveProfile(profile, Defaults());
    Bytes saved;
    for (const char* name : names) {
        const MemoryProfile::Value* v = profile.Find(kProfileSection, name);
        saved += v->isText ? "t" + v->text : "n" + std::to_string(v->number);
        saved += "\n";
    }
    Put("fuzz_profile", "saved_defaults.txt", saved);
    Put("fuzz_profile", "odd_texts.txt",
        "t1.000000\nt2.5xyz\ntnan\ntinf\nt-0.000000\nt0.0104891\ntabc\n"
        "n2\nn4294967295\nt30\nn0\nn2147483648\nn1\nn5\n"
        "n28357120\nn0\nn16777215\nx\n\nt1\nn4278190080\n");
    Put("fuzz_profile", "long_numbers.txt",
        "t  -1e40\nt1e-50\nt0.0000001e+9999999999\nt000000000000000000000000000000000000001e-45\n"
        "t340282356779733661637539395458142568448\nt-.5e\nt+.e1\n");
}

void CommandLineSeeds() {
    const std::string program = "C:\\WINDOWS\\tindlbrg.scr";
    const char* const cases[][2] = {
        {"s", "/s"},           {"dash_upper_s", "-S"}, {"bare_s", "s"},       {"s_colon", "/s:1"},
        {"double_slash", "//s"}, {"c_handle", "/c:1234"}, {"bare_c", "c"},    {"upper_c", "/C:1234"},
        {"lone_p", "/p"},
    };
    for (const auto& c : cases) Put("fuzz_command_line", std::string(c[0]) + ".args", program + '\0' + c[1]);
    Put("fuzz_command_line", "p_handle.args", program + '\0' + "/p" + '\0' + "5678");
    Put("fuzz_command_line", "p_signed_handle.args", program + '\0' + "-P" + '\0' + " \t-12x");
    Put("fuzz_command_line", "program_only.args", program);
}

Bytes Params(float lx, float ly, float lz, uint32_t colour, int32_t phong, int32_t outer, int32_t shape,
             int32_t inner, int32_t offsetX = 0, int32_t offsetY = 0) {
    Bytes out;
    AddFloat(out, lx);
    AddFloat(out, ly);
    AddFloat(out, lz);
    AddWord(out, colour);
    AddWord(out, 0x00FFFFFF);
    AddFloat(out, 0.34f);
    AddFloat(out, 0.995f);
    AddFloat(out, 0.6f);
    for (const int32_t w : {phong, outer, shape, inner, offsetX, offsetY}) AddWord(out, static_cast<uint32_t>(w));
    return out;
}

void ShapeSeeds() {
    Bytes sevenColours = Params(1, 1, -1, 0x0000FF, 4, 30, 0, 30);
    const SaverSettings s = Defaults();
    for (const ShapeColor& c : s.color) AddWord(sevenColours, PackColor(c));
    Put("fuzz_shape_image", "default_sphere_seven_colours.bin", sevenColours);
    Put("fuzz_shape_image", "torus_30_20.bin", Params(1, 1, -1, 0x00B2B2, 4, 30, 2, 20));
    Put("fuzz_shape_image", "cone.bin", Params(1, 1, -1, 0xB200B2, 4, 20, 1, 20));
    Put("fuzz_shape_image", "radius_0.bin", Params(1, 1, -1, 0x0000FF, 4, 0, 0, 0));
    Put("fuzz_shape_image", "radius_minus_1.bin", Params(1, 1, -1, 0x0000FF, 4, -1, 0, -1));
    Put("fuzz_shape_image", "unknown_shape.bin", Params(1, 1, -1, 0x0000FF, 4, 10, 7, 10));
    Put("fuzz_shape_image", "absurd_radius.bin", Params(1, 1, -1, 0x0000FF, 4, 5000, 0, 5000));
    Put("fuzz_shape_image", "zero_light.bin", Params(0, 0, 0, 0x0000FF, 4, 12, 0, 12));
    Put("fuzz_shape_image", "flat_sphere.bin", Params(1, 1, -1, 0x0000FF, 0, 12, 0, 0));
    Put("fuzz_shape_image", "small_hole_torus_shifted.bin", Params(-1, 2, -1, 0x808080, -3, 16, 2, 1, 5, -4));
    // A power far above the slider's on a flat disc lit at a slant: every pixel has the
    // same rz just below 1, whose powers spend long in subnormal values.
    Bytes slowHighlight = Params(0.25f, 0, -1, 0x0000FF, 2048, 32, 0, 1);
    for (const ShapeColor& c : s.color) AddWord(slowHighlight, PackColor(c));
    Put("fuzz_shape_image", "power_2048_flat_disc.bin", slowHighlight);
}

Bytes Path(int32_t width, int32_t height, int32_t imageWidth, std::initializer_list<float> speeds) {
    Bytes out;
    AddWord(out, static_cast<uint32_t>(width));
    AddWord(out, static_cast<uint32_t>(height));
    AddWord(out, static_cast<uint32_t>(imageWidth));
    for (const float v : speeds) AddFloat(out, v);
    return out;
}

void MotionSeeds() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Put("fuzz_motion", "640x480_defaults.bin", Path(640, 480, 63, {1.46f, 0.01f, 1.46f, 0.01f, 1.46f, 0.01f}));
    Put("fuzz_motion", "1024x768.bin", Path(1024, 768, 99, {1.46f, 0.01f, 1.46f, 0.01f}));
    Put("fuzz_motion", "odd_801x601.bin", Path(801, 601, 63, {0.5f, 0.2f}));
    Put("fuzz_motion", "small_window_stamped.bin", Path(60, 40, 9, {1.46f, 0.01f, -1.46f, 3.0f, 0.0f, 0.0f}));
    Put("fuzz_motion", "non_finite_speeds.bin", Path(640, 480, 63, {1.46f, 0.01f, nan, 0.01f, 1.46f, inf}));
    Put("fuzz_motion", "zero_width.bin", Path(0, 0, 1, {1.46f, 0.01f}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    gRoot = argv[1];
    StoreSeeds();
    PresetSeeds();
    ProfileSeeds();
    CommandLineSeeds();
    ShapeSeeds();
    MotionSeeds();
    return 0;
}
