// What the saver keeps: the 21 values of its settings key, the preset store files (a
// 32-bit count, then 228-byte records, encoded here byte by byte from the published
// layout), and the proof that a run wrote none of it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The settings key by value name: the seven floats as their exact text, every other
// value as its 32-bit number in decimal. P() is the built-in settings with `changes`
// (numbers may be given in hex or negative; they are kept as the unsigned word).
using Profile = std::map<std::string, std::string>;
using Changes = std::initializer_list<std::pair<const std::string, std::string>>; Profile P(Changes changes = {});
Profile With(Profile base, Changes changes);
std::string Rgb(unsigned red, unsigned green, unsigned blue);  // a packed colour, red lowest
void WriteProfile(const Profile& profile);
// The values now in the settings key, in the same forms (a value of the wrong type shows
// its type).
Profile ReadProfile();
// Fails with every value that differs from `want`, and every value too many.
void ExpectProfile(const Profile& want, const std::string& after);
// Every value absurd at once: light (nan, inf, -inf), speeds nan and -inf, ambient -inf,
// mirror 1e30, shape 2147483647, sizes -2000000000 and 2000000000, Phong 2000000000, and
// with `highBits` (or alone) switch mask 0xFFFFFFFF and every colour 0xFF123456.
Profile Absurd(bool values, bool highBits); uint32_t Number(const Profile& profile, const std::string& name);

struct Record {
    std::string name = "preset"; float angleX = 1.0f, angleY = 1.0f, angleZ = -1.0f, cbStep = 0.0f, csStep = 0.0f;
    int32_t shape = 0, size1 = 30, size2 = 29, phong = 4; float mirror = 0.995f, ambient = 0.34f;
    int32_t on[7] = {1, 0, 0, 0, 0, 0, 0};
    uint32_t colour[7] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00B2B2, 0xB2B200, 0xB200B2, 0x808080};  // packed
};
constexpr size_t kRecordSize = 228; Bytes Encode(const Record& record);
// A count (the number of records unless given) and the records back to back.
Bytes Store(const std::vector<Bytes>& records, std::optional<int32_t> count = {});
void PutWord(Bytes& bytes, size_t offset, uint32_t value);

std::wstring WindowsStore();  // C:\windows\tindlbrg.cfg
std::wstring UserStore();     // the per-user copy, which wins when present
std::wstring Scratch(const std::wstring& name);  // a file in the case's own empty folder
void WriteFileBytes(const std::wstring& path, const Bytes& bytes);
std::optional<Bytes> ReadFileBytes(const std::wstring& path);
// A fixed old time stamp: a saver that rewrote the file, even with the same bytes, shows.
void Backdate(const std::wstring& path);
// Files beside `path` whose names start with its name: what a failed write may leave.
std::vector<std::wstring> LeftBeside(const std::wstring& path);
// Fails with where the first byte differs and both lengths.
void ExpectBytes(const std::optional<Bytes>& got, const Bytes& want, const std::string& what);

// No settings key, no store files, an empty scratch folder.
void ResetStoredState();

// Every registry value below the company key, both store files and their time stamps.
struct Stored {
    std::map<std::string, std::string> registry; std::optional<Bytes> windows, user;
    uint64_t windowsTime = 0, userTime = 0;
};
Stored ReadStored();
// The one "nothing was written" check: fails with every difference.
void ExpectUnchanged(const Stored& before, const std::string& mode);
