#include "absurd_values.h"

#include <cstdlib>
#include <cstring>

#include "check.h"
#include "poll.h"
#include "registry.h"
#include "screen.h"

namespace {

const char* const kFloatNames[] = {"angleX", "angleY", "angleZ", "cbStep", "csStep", "ambient", "mirror"};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ColorName(int slot) { return "color" + std::to_string(slot); }

std::string Show(const ConfigValue& v) {
    if (v.type == REG_NONE) return "(missing)";
    if (v.type == REG_DWORD) return Format("dword 0x%08lx (%ld)", static_cast<unsigned long>(v.number),
                                           static_cast<long>(static_cast<int32_t>(v.number)));
    if (v.type == REG_SZ) return "text \"" + v.text + "\"";
    return Format("type %lu", v.type);
}

}  // namespace

void WriteRawProfile(const RawProfile& p) {
    WriteText(L"angleX", p.angleX);
    WriteText(L"angleY", p.angleY);
    WriteText(L"angleZ", p.angleZ);
    WriteText(L"cbStep", p.cbStep);
    WriteText(L"csStep", p.csStep);
    WriteText(L"ambient", p.ambient);
    WriteText(L"mirror", p.mirror);
    WriteNumber(L"shape", p.shape);
    WriteNumber(L"size1", p.size1);
    WriteNumber(L"size2", p.size2);
    WriteNumber(L"bound", p.bound);
    WriteNumber(L"phong", p.phong);
    WriteNumber(L"randomly", p.randomly);
    WriteNumber(L"switches", p.switches);
    for (int i = 0; i < kSlots; ++i) WriteNumber(Wide(ColorName(i)).c_str(), p.color[i]);
}

RawProfile EverythingAbsurd() {
    RawProfile p;
    p.angleX = "nan";
    p.angleY = "inf";
    p.angleZ = "-inf";
    p.cbStep = "nan";
    p.csStep = "-inf";
    p.ambient = "-inf";
    p.mirror = "1e30";
    p.shape = Word(2147483647);
    p.size1 = Word(-2000000000);
    p.size2 = Word(2000000000);
    p.phong = Word(2000000000);
    p.switches = 0xFFFFFFFFu;
    for (auto& c : p.color) c = 0xFF123456u;
    return p;
}

ConfigValue TextValue(const std::string& text) {
    ConfigValue v;
    v.type = REG_SZ;
    v.text = text;
    return v;
}

ConfigValue NumberValue(uint32_t number) {
    ConfigValue v;
    v.type = REG_DWORD;
    v.number = number;
    return v;
}

std::string FloatForm(float value) { return Format("%f", static_cast<double>(value)); }

std::string FloatForm(const std::string& text) { return FloatForm(std::strtof(text.c_str(), nullptr)); }

ConfigValues SavedForms(const RawProfile& p) {
    ConfigValues v;
    const std::string* floats[] = {&p.angleX, &p.angleY, &p.angleZ, &p.cbStep, &p.csStep, &p.ambient, &p.mirror};
    for (int i = 0; i < 7; ++i) v[kFloatNames[i]] = TextValue(FloatForm(*floats[i]));
    v["shape"] = NumberValue(p.shape);
    v["size1"] = NumberValue(p.size1);
    v["size2"] = NumberValue(p.size2);
    v["bound"] = NumberValue(p.bound);
    v["phong"] = NumberValue(p.phong);
    v["randomly"] = NumberValue(p.randomly);
    // Only slots 0..6 exist: the other bits of a stored mask mean nothing.
    v["switches"] = NumberValue(p.switches & 127u);
    // A colour is three bytes; a stored top byte is no part of it.
    for (int i = 0; i < kSlots; ++i) v[ColorName(i)] = NumberValue(p.color[i] & 0x00FFFFFFu);
    return v;
}

ConfigValues ReadConfigValues() {
    ConfigValues values;
    for (const RegistryValue& r : SnapshotSaverValues()) {
        if (r.keyPath != L"\\tindlbrg\\Config") continue;
        ConfigValue v;
        v.type = r.type;
        if (r.type == REG_DWORD && r.data.size() == 4) {
            v.number = static_cast<uint32_t>(r.data[0] | r.data[1] << 8 | r.data[2] << 16) |
                       static_cast<uint32_t>(r.data[3]) << 24;
        } else if (r.type == REG_SZ) {
            std::wstring text(reinterpret_cast<const wchar_t*>(r.data.data()), r.data.size() / 2);
            v.text = Narrow(std::wstring(text.c_str()));  // up to the terminating zero
        } else {
            v.type = r.type == REG_DWORD ? REG_BINARY : r.type;  // a DWORD of the wrong size
        }
        values[Narrow(r.name)] = v;
    }
    return values;
}

std::string DiffConfig(const ConfigValues& expected, const ConfigValues& actual) {
    std::string diff;
    for (const auto& [name, want] : expected) {
        auto got = actual.find(name);
        const ConfigValue none;
        const ConfigValue& have = got == actual.end() ? none : got->second;
        if (!(have == want)) diff += "; " + name + " is " + Show(have) + ", expected " + Show(want);
    }
    for (const auto& [name, have] : actual)
        if (expected.find(name) == expected.end()) diff += "; unexpected value " + name + " = " + Show(have);
    return diff.empty() ? diff : diff.substr(2);
}

void PutRecordWord(std::vector<uint8_t>& record, size_t offset, uint32_t value) {
    if (offset + 4 > record.size()) Fail(Format("record offset %zu is outside the record", offset));
    for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutRecordChannels(std::vector<uint8_t>& record, int slot, uint32_t red, uint32_t green, uint32_t blue) {
    PutRecordWord(record, 128 + 12 * slot, red);
    PutRecordWord(record, 132 + 12 * slot, green);
    PutRecordWord(record, 136 + 12 * slot, blue);
}

std::vector<uint8_t> StoreOfRecords(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> out(4, 0);
    PutRecordWord(out, 0, static_cast<uint32_t>(records.size()));
    for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
    return out;
}

StoredState ReadStoredState() {
    return StoredState{SnapshotSaverValues(), ReadFileBytes(WindowsStorePath()), ReadFileBytes(UserStorePath()),
                       LastWriteTime(WindowsStorePath()), LastWriteTime(UserStorePath())};
}

void ExpectStoredStateUnchanged(const StoredState& before, const std::string& mode) {
    const StoredState after = ReadStoredState();
    const std::string diff = DiffSnapshots(before.registry, after.registry);
    Expect(diff.empty(), Format("%s wrote to the registry: %s", mode.c_str(), diff.c_str()));
    Expect(after.windowsStore == before.windowsStore && after.windowsTime == before.windowsTime,
           Format("%s wrote %s", mode.c_str(), Narrow(WindowsStorePath()).c_str()));
    Expect(after.userStore == before.userStore && after.userTime == before.userTime,
           Format("%s %s %s", mode.c_str(), before.userStore ? "wrote" : "created", Narrow(UserStorePath()).c_str()));
}

void ExpectResponds(SaverProcess& saver, HWND window, const std::string& when) {
    DWORD_PTR result = 0;
    const LRESULT answered =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kDeadlineMs, &result);
    if (!saver.Running())
        Fail(Format("the saver ended (status %lu) %s", saver.ExitCode(), when.c_str()));
    Expect(answered != 0, Format("the saver's window did not answer a message within %lu s %s (error %lu)",
                                 kDeadlineMs / 1000, when.c_str(), GetLastError()));
}

ScreenArea WholeScreen() {
    const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ScreenArea{RECT{0, 0, screen.cx, screen.cy}};
}

ScreenArea AreaOfWindow(HWND window) {
    ScreenArea area{};
    GetWindowRect(window, &area.rect);
    return area;
}

bool AnyPixel(uint32_t) { return true; }

namespace {

struct FirstPixel {
    int x = -1, y = -1;
    uint32_t pixel = 0;
};

struct AreaCount {
    size_t lit = 0;
    size_t disallowed = 0;
    FirstPixel firstLit;
    FirstPixel firstDisallowed;
};

AreaCount CountIn(const Screenshot& shot, const ScreenArea& area, bool (*allowed)(uint32_t)) {
    AreaCount count;
    for (int y = area.rect.top; y < area.rect.bottom && y < shot.Height(); ++y) {
        for (int x = area.rect.left; x < area.rect.right && x < shot.Width(); ++x) {
            const uint32_t p = shot.At(x, y);
            if (p == 0) continue;
            if (count.lit++ == 0) count.firstLit = FirstPixel{x, y, p};
            if (allowed(p)) continue;
            if (count.disallowed++ == 0) count.firstDisallowed = FirstPixel{x, y, p};
        }
    }
    return count;
}

std::string DescribeArea(const ScreenArea& a) {
    return Format("(%ld,%ld)-(%ld,%ld)", a.rect.left, a.rect.top, a.rect.right, a.rect.bottom);
}

}  // namespace

void ExpectDrawsIn(SaverProcess& saver, HWND window, const ScreenArea& area, bool (*allowed)(uint32_t),
                   const std::string& rule) {
    // Until its first paint the area may still show what lay there before.
    AreaCount count;
    const bool drawn = PollUntil(
        [&] {
            count = CountIn(Screenshot::Capture(), area, allowed);
            return (count.lit > 0 && count.disallowed == 0) || !saver.Running();
        },
        kDeadlineMs, 20);
    Expect(saver.Running(), Format("the saver ended (status %lu) before drawing anything", saver.ExitCode()));
    Expect(count.lit > 0,
           Format("nothing was drawn in %s within %lu s", DescribeArea(area).c_str(), kDeadlineMs / 1000));
    Expect(drawn, Format("for %lu s, %zu of %zu drawn pixels broke the rule \"%s\"; the first at (%d,%d) is %06lx",
                         kDeadlineMs / 1000, count.disallowed, count.lit, rule.c_str(), count.firstDisallowed.x,
                         count.firstDisallowed.y, static_cast<unsigned long>(count.firstDisallowed.pixel)));
    // Let the picture grow a little, then judge every pixel of it.
    ExpectResponds(saver, window, "while drawing");
    count = CountIn(Screenshot::Capture(), area, allowed);
    Expect(count.disallowed == 0,
           Format("%zu of %zu drawn pixels break the rule \"%s\"; the first at (%d,%d) is %06lx", count.disallowed,
                  count.lit, rule.c_str(), count.firstDisallowed.x, count.firstDisallowed.y,
                  static_cast<unsigned long>(count.firstDisallowed.pixel)));
}

void ExpectStaysBlack(SaverProcess& saver, HWND window, const ScreenArea& area, const std::string& why) {
    AreaCount count;
    const bool black = PollUntil(
        [&] {
            count = CountIn(Screenshot::Capture(), area, AnyPixel);
            return count.lit == 0 || !saver.Running();
        },
        kDeadlineMs, 20);
    Expect(saver.Running(), Format("the saver ended (status %lu) with %s", saver.ExitCode(), why.c_str()));
    Expect(black, Format("with %s, %zu pixels of %s were lit, the first %06lx at (%d,%d)", why.c_str(), count.lit,
                         DescribeArea(area).c_str(), static_cast<unsigned long>(count.firstLit.pixel),
                         count.firstLit.x, count.firstLit.y));
    // No wait can prove that nothing will ever appear; these looks span a great many
    // frame bursts, each one after the saver has answered a message.
    constexpr int kLooks = 12;
    for (int look = 0; look < kLooks; ++look) {
        ExpectResponds(saver, window, "while its picture should stay black");
        PollUntil([] { return false; }, 150);
        count = CountIn(Screenshot::Capture(), area, AnyPixel);
        Expect(count.lit == 0, Format("with %s, %zu pixels of %s became lit, the first %06lx at (%d,%d)", why.c_str(),
                                      count.lit, DescribeArea(area).c_str(),
                                      static_cast<unsigned long>(count.firstLit.pixel), count.firstLit.x,
                                      count.firstLit.y));
    }
}
