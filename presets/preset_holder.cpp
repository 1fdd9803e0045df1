#include "presets/preset_holder.h"

#include <algorithm>
#include <cstring>

namespace {

// Visits every field in record order; the same walk encodes and decodes.
template <typename Holder, typename Visit>
void ForEachField(Holder& h, Visit&& visit) {
    visit(h.leadWord);
    visit(h.name);
    visit(h.angleX);
    visit(h.angleY);
    visit(h.angleZ);
    visit(h.cbStep);
    visit(h.csStep);
    visit(h.shape);
    visit(h.size1);
    visit(h.size2);
    visit(h.phong);
    visit(h.mirror);
    visit(h.ambient);
    for (auto& s : h.switches) visit(s);
    for (auto& c : h.color) {
        visit(c.red);
        visit(c.green);
        visit(c.blue);
    }
    for (auto& r : h.reserved) visit(r);
}

template <typename T>
uint32_t WordOf(T value) {
    static_assert(sizeof(T) == 4);
    uint32_t word;
    std::memcpy(&word, &value, 4);
    return word;
}

template <typename T>
T FromWord(uint32_t word) {
    static_assert(sizeof(T) == 4);
    T value;
    std::memcpy(&value, &word, 4);
    return value;
}

class Writer {
public:
    explicit Writer(PresetBytes& out) : out_(out) {}
    template <typename T>
    void operator()(const T& value) {
        const uint32_t word = WordOf(value);
        for (int i = 0; i < 4; ++i) out_[at_++] = static_cast<uint8_t>(word >> (8 * i));
    }
    void operator()(const char (&text)[kPresetNameField]) {
        std::memcpy(out_.data() + at_, text, kPresetNameField);
        at_ += kPresetNameField;
    }

private:
    PresetBytes& out_;
    size_t at_ = 0;
};

class Reader {
public:
    explicit Reader(const PresetBytes& in) : in_(in) {}
    template <typename T>
    void operator()(T& value) {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i) word |= uint32_t{in_[at_++]} << (8 * i);
        value = FromWord<T>(word);
    }
    void operator()(char (&text)[kPresetNameField]) {
        std::memcpy(text, in_.data() + at_, kPresetNameField);
        at_ += kPresetNameField;
    }

private:
    const PresetBytes& in_;
    size_t at_ = 0;
};

}  // namespace

PresetBytes EncodePreset(const PresetHolder& preset) {
    PresetBytes bytes{};
    Writer writer(bytes);
    ForEachField(preset, writer);
    return bytes;
}

PresetHolder DecodePreset(const PresetBytes& bytes) {
    PresetHolder preset{};
    Reader reader(bytes);
    ForEachField(preset, reader);
    return preset;
}

PresetHolder MakePresetFromSettings(const std::string& name, const SaverSettings& settings) {
    PresetHolder preset{};
    preset.leadWord = 1;
    name.copy(preset.name, kPresetNameMax);
    CopyPresetFields(settings, preset);
    return preset;
}

std::string PresetName(const PresetHolder& preset) {
    const char* begin = preset.name;
    const char* end = std::find(begin, begin + kPresetNameField - 1, '\0');
    return std::string(begin, end);
}

bool IsAcceptableName(const std::string& text) {
    const size_t length = std::min(text.size(), kPresetNameMax);
    for (size_t i = 0; i < length; ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        if (code != ' ') return code > ' ';
    }
    return false;
}
