// Presets: the record's bytes and name, applying one, the store's list, its damaged files, and every
// write against a medium that fails: the old file stays byte for byte, nothing unsaved is reported saved.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "preset_test_fs.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"
#include "presets/store_location.h"

namespace {

uint32_t WordAt(const PresetBytes& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

SaverSettings Distinct() {
    SaverSettings s{1.0f, -2.0f, 0.5f, 1.46f, 0.01f, 2, 30, 29, 4, 0.995f, 0.34f, 77, {}, {}, 88};
    for (int i = 0; i < kShapeSlots; ++i) {
        s.switches[i] = 1 << i;
        s.color[i] = ShapeColor{10 + i, 20 + i, 30 + i};
    }
    return s;
}

TEST(PresetRecord, EveryFieldLittleEndianAtItsOffsetWithoutBoundOrRandomly) {
    const PresetBytes b = EncodePreset(MakePresetFromSettings("Ring", Distinct()));
    const std::pair<size_t, uint32_t> words[] = {
        {0, 1}, {56, 0x3F800000u}, {60, 0xC0000000u}, {64, 0x3F000000u}, {68, 0x3FBAE148u}, {72, 0x3C23D70Au},
        {76, 2}, {80, 30}, {84, 29}, {88, 4}, {92, 0x3F7EB852u}, {96, 0x3EAE147Bu}};
    for (const auto& [at, word] : words) EXPECT_EQ(WordAt(b, at), word) << "offset " << at;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4]), 5), std::string("Ring\0", 5));
    for (int i = 0; i < kShapeSlots; ++i) {
        EXPECT_EQ(WordAt(b, 100 + 4 * i), 1u << i);
        EXPECT_EQ(WordAt(b, 128 + 12 * i), 10u + i);
        EXPECT_EQ(WordAt(b, 132 + 12 * i), 20u + i);
        EXPECT_EQ(WordAt(b, 136 + 12 * i), 30u + i);
    }
    for (size_t i = 9; i < 56; ++i) EXPECT_EQ(b[i], 0) << i;
    for (size_t i = 212; i < kPresetBytes; ++i) EXPECT_EQ(b[i], 0) << i;
    PresetBytes bytes;  // every byte of a record read survives its writing
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    EXPECT_EQ(EncodePreset(DecodePreset(bytes)), bytes);
}

TEST(PresetName, CutTo49ZeroFilledAndBoundedWithoutAZero) {
    const std::string n49(49, 'n');
    const struct { std::string given, shown; } rows[] = {
        {n49, n49}, {n49 + "Z", n49}, {"   lead", "   lead"}, {"100% %s %n", "100% %s %n"}};
    for (const auto& row : rows) {
        const PresetHolder h = MakePresetFromSettings(row.given, Distinct());
        EXPECT_EQ(PresetName(h), row.shown);
        for (size_t i = row.shown.size(); i < kPresetNameField; ++i) EXPECT_EQ(h.name[i], '\0') << row.given;
    }
    PresetBytes bytes{};
    std::memset(&bytes[4], 'q', kPresetNameField);
    bytes[56] = 'X';  // the first byte after the field must not leak into the name
    EXPECT_EQ(PresetName(DecodePreset(bytes)), std::string(51, 'q'));

    const std::pair<std::string, bool> names[] = {
        {"", false}, {"   ", false}, {"   a", true}, {"!", true}, {"A b", true}, {"\tname", false},
        {std::string("\0name", 5), false}, {"  \x1f" "abc", false},
        {"\xE9t\xE9", true},  // codes above 127 count as unsigned
        {std::string(48, ' ') + "x", true}, {std::string(49, ' ') + "x", false}};  // beyond what is stored
    for (const auto& [name, ok] : names) EXPECT_EQ(IsAcceptableName(name), ok) << '"' << name << '"';
}

PresetHolder Torus(int32_t size1) {
    PresetHolder h{9, "torus", -0.5f, 0.25f, -0.75f, -0.0005091f, 3.0f, 2, size1, 12, 20, 0.5f, 0.0f,
                   {4, 0, -1, 0, 64, 1, 0}, {}, {5}};
    for (int i = 0; i < kShapeSlots; ++i) h.color[i] = ShapeColor{i, 2 * i, 300};
    return h;
}

// Every preset field copied word for word, unchecked, but bound and randomly; a bad position: nothing.
TEST(ApplyPreset, CopiesEveryPresetFieldAndAsksForNewImages) {
    OwnedPresetStore store;
    SaverSettings s = Distinct(), before = s;
    RunState r{};
    for (int32_t position : {0, 1, -1}) {
        ApplyPreset(store, position, s, r);
        if (position == 0) AddPreset(store, Torus(40));
    }
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_EQ(r.rebuildImages, 0);
    ApplyPreset(store, 0, s, r);
    SaverSettings want{-0.5f, 0.25f, -0.75f, -0.0005091f, 3.0f, 2, 40, 12, 20, 0.5f, 0.0f, 77,
                       {4, 0, -1, 0, 64, 1, 0}, {}, 88};
    for (int i = 0; i < kShapeSlots; ++i) want.color[i] = ShapeColor{i, 2 * i, 300};
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
    RunState untouched{};
    untouched.rebuildImages = 1;
    EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r), 0);
}

TEST(RandomPreset, OnlyInFullScreenWithTheOptionOnAtTheClockModuloTheCountUnsigned) {
    const struct { const char* what; int32_t presets, fullScreen, randomly; uint32_t clock; int32_t size1; } rows[] = {
        // size1 30: none picked
        {"empty store", 0, 1, 1, 1234, 30}, {"not full screen", 7, 0, 1, 1234, 30}, {"option off", 7, 1, 0, 1234, 30},
        {"clock 0", 7, 1, 1, 0, 100}, {"clock 6", 7, 1, 1, 6, 106}, {"clock 7", 7, 1, 1, 7, 100},
        {"clock 1234", 7, 1, 1, 1234, 102}, {"clock 0xFFFFFFFF", 7, 1, 1, 0xFFFFFFFFu, 103},
        {"clock 0x80000000", 7, 1, 1, 0x80000000u, 102},
    };
    for (const auto& row : rows) {
        OwnedPresetStore store;
        for (int32_t i = 0; i < row.presets; ++i) AddPreset(store, Torus(100 + i));
        SaverSettings s = Distinct();
        s.size1 = 30;
        RunState r{};
        r.fullScreen = row.fullScreen;
        s.randomly = row.randomly;
        EXPECT_EQ(PickRandomPreset(store, row.clock, s, r), row.size1 != 30) << row.what;
        EXPECT_EQ(s.size1, row.size1) << row.what;
        EXPECT_EQ(r.rebuildImages, row.size1 != 30) << row.what;
    }
}


using Bytes = FakeFileSystem::Bytes;
using Names = std::vector<std::string>;

const char kWindows[] = "C:\\WINDOWS";
const char kUser[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg";
const char kWindowsStore[] = "C:\\WINDOWS\\tindlbrg.cfg";
const char kUserStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
const char kPresetFile[] = "D:\\presets\\ring.pre";
const Names kOld{"a", "b", "c"}, kEdited{"a", "c", "new 1", "new 2"};  // one deleted, two added

// The i-th preset that Fill adds: the defaults with size1 = i.
PresetHolder Named(const std::string& name, int32_t i) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    s.size1 = i;
    return MakePresetFromSettings(name, s);
}

void Fill(PresetStore& store, const Names& names) {
    for (size_t i = 0; i < names.size(); ++i) EXPECT_TRUE(AddPreset(store, Named(names[i], static_cast<int32_t>(i))));
}

Bytes Record(const std::string& name, int32_t i) {
    const PresetBytes b = EncodePreset(Named(name, i));
    return Bytes(b.begin(), b.end());
}

// A store file made here rather than by the writer under test: the count word, the
// records of `names` (as Fill makes them), then `extra` bytes of one more record.
Bytes FileOf(int32_t count, const Names& names, size_t extra = 0) {
    Bytes file;
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(static_cast<uint32_t>(count) >> shift));
    for (size_t i = 0; i < names.size(); ++i) {
        const Bytes record = Record(names[i], static_cast<int32_t>(i));
        file.insert(file.end(), record.begin(), record.end());
    }
    const Bytes partial = Record("partial", 0);
    file.insert(file.end(), partial.begin(), partial.begin() + static_cast<std::ptrdiff_t>(extra));
    return file;
}

// The file layout and loading are the damaged files' table; here the list and refused paths.
TEST(PresetStore, TheListAndRefusedPositionsAndPaths) {
    OwnedPresetStore store;
    Fill(store, {"a", "100%", "a", "b"});
    EXPECT_EQ(std::make_pair(store.Capacity(), store.GrowthStep()), std::make_pair(256, 16));
    for (int32_t position : {1, -1, 3}) RemovePreset(store, position);  // duplicates kept, removed by position
    EXPECT_EQ(PresetNames(store), (Names{"a", "a", "b"}));
    for (int32_t position : {-1, 3}) EXPECT_EQ(PresetAt(store, position), nullptr) << position;
    FakeFileSystem fs;
    for (int32_t position : {-1, 3}) EXPECT_FALSE(WritePresetFile(store, position, "none.pre", fs)) << position;
    EXPECT_FALSE(LoadStore(store, "", fs));
    EXPECT_FALSE(SaveStore(store, "", fs));
    EXPECT_TRUE(fs.files.empty());
    ClearStore(store);
    ASSERT_TRUE(SaveStore(store, kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], Bytes(4, 0));
}

// Files as a crash or a hand may leave them: only whole records load, loading never writes.
TEST(PresetStore, DamagedFilesYieldTheWholeRecordsOnly) {
    Bytes longer = Record("long", 0), shorter = Record("short", 0);
    longer.push_back(0x55);
    shorter.pop_back();
    // presetFile: read as one exported preset rather than a store; whole: a store that may be written back over
    // without losing records; readable: bytes read before a read fails.
    const struct { const char* what; bool presetFile; std::optional<Bytes> file; bool read; Names names;
                   bool whole = false; size_t readable = SIZE_MAX; } rows[] = {
        {"count five, two and a half records", false, FileOf(5, {"a", "b"}, 114), true, {"a", "b"}},
        {"bytes after the counted records", false, FileOf(1, {"a"}, 227), true, {"a"}},
        {"count zero", false, FileOf(0, {"a", "b"}), true, {}},
        {"negative count", false, FileOf(-3, {"a"}), true, {}},
        {"absurd count: the file's end ends it", false, FileOf(INT32_MAX, {"a"}), true, {"a"}},
        {"count cut short", false, Bytes{1, 0}, true, {}},
        {"no store file", false, std::nullopt, false, {"kept"}},
        {"two whole records", false, FileOf(2, {"a", "b"}), true, {"a", "b"}, true},
        {"an empty file", false, Bytes{}, true, {}, true},
        {"a read error at the count", false, FileOf(2, {"a", "b"}), true, {}, false, 0},
        {"a read error after the records", false, FileOf(2, {"a", "b"}, 10), true, {"a", "b"}, false, 4 + 2 * 228},
        {"preset file of 229 bytes", true, longer, true, {"kept", "long"}},
        {"preset file of 227 bytes", true, shorter, true, {"kept"}},
        {"no preset file", true, std::nullopt, false, {"kept"}},
    };
    for (const auto& row : rows) {
        FakeFileSystem fs;
        if (row.file) fs.files["f"] = *row.file;
        fs.readOnlyFiles.insert("f");
        fs.readLimit = row.readable;
        OwnedPresetStore store;
        Fill(store, {"kept"});
        bool whole = !row.whole;
        EXPECT_EQ(row.presetFile ? ReadPresetFile(store, "f", fs) : LoadStore(store, "f", fs, &whole), row.read)
            << row.what;
        EXPECT_TRUE(row.presetFile || whole == row.whole) << row.what << ": whole " << whole;
        EXPECT_EQ(PresetNames(store), row.names) << row.what;
        EXPECT_EQ(fs.files.count("f") ? std::optional<Bytes>(fs.files["f"]) : std::nullopt, row.file) << row.what;
    }
}

// Both writers against single faults, a failure from every step on, a write cut at every byte.
TEST(PresetStore, EveryFailedWriteKeepsTheOldFileAndIsReported) {
    OwnedPresetStore edited;
    Fill(edited, kEdited);
    const struct { const char* what; const char* path; Bytes oldFile, newFile; std::function<bool(FileSystem&)> write; }
        writers[] = {
        {"store", kUserStore, FileOf(3, kOld), FileOf(4, kEdited),
         [&](FileSystem& fs) { return SaveStore(edited, kUserStore, fs); }},
        {"preset file", kPresetFile, Record("b", 1), Record("new 2", 3),
         [&](FileSystem& fs) { return WritePresetFile(edited, 3, kPresetFile, fs); }},
    };
    for (const auto& w : writers) {
        const std::string path = w.path;
        std::vector<std::pair<std::string, std::function<void(FakeFileSystem&)>>> faults{
            {"folder takes no new file", [&](FakeFileSystem& fs) { fs.unwritableFolders.insert(fs.FolderOf(path)); }},
            {"flush fails, disk full", [](FakeFileSystem& fs) { fs.failClose = true; }},
            {"replacement fails", [](FakeFileSystem& fs) { fs.failReplace = true; }},
            {"old file is read-only", [&](FakeFileSystem& fs) { fs.readOnlyFiles.insert(path); }},
            {"nothing fails", [](FakeFileSystem&) {}},
        };
        for (int at = 0; at < 16; ++at)
            faults.emplace_back("failing from step " + std::to_string(at), [at](FakeFileSystem& fs) { fs.failAt = at; });
        for (size_t limit = 0; limit <= w.newFile.size(); ++limit)
            faults.emplace_back(std::to_string(limit) + " bytes fit", [limit](FakeFileSystem& fs) { fs.writeLimit = limit; });
        for (const auto& [what, inject] : faults) {
            FakeFileSystem fs;
            fs.files[path] = w.oldFile;
            inject(fs);
            const bool written = w.write(fs);
            const bool expected = fs.failAt != INT_MAX ? fs.steps <= fs.failAt
                                                       : what == "nothing fails" || fs.writeLimit == w.newFile.size();
            EXPECT_EQ(written, expected) << w.what << ", " << what;
            EXPECT_EQ(fs.files.at(path), written ? w.newFile : w.oldFile) << w.what << ", " << what;
            EXPECT_FALSE(fs.HasTemporary()) << w.what << ", " << what;
            EXPECT_TRUE(fs.failAt != 15 || written) << w.what << ": the step sweep reaches a write that succeeds";
        }
    }
}

// Loaded from the user's folder, else the Windows directory; saved where loaded, else there, else
// the user's. The next start loads the new presets exactly when the save was reported.
TEST(PresetStore, TheNextStartLoadsWhatWasReportedSaved) {
    OwnedPresetStore edited;
    Fill(edited, kEdited);
    const StoreFolders folders{kWindows, kUser, '\\'};
    auto nextStartLoads = [&](FakeFileSystem& fs) {
        OwnedPresetStore loaded;
        const std::string path = StoreLoadPath(folders, fs);
        EXPECT_TRUE(path.empty() || LoadStore(loaded, path, fs));
        return PresetNames(loaded);
    };
    // A user store that cannot be written is not saved around: elsewhere it would lie hidden.
    // savedIn: where the store goes without injected failures; null: not saved.
    const struct { const char* what; bool userStore, windowsStore, windowsWritable, userWritable, oldReadOnly;
                   const char* savedIn; } setups[] = {
        {"user store", true, true, true, true, false, kUserStore},
        {"user store, its folder read-only", true, true, true, false, false, nullptr},
        {"old store in the Windows directory", false, true, true, true, false, kWindowsStore},
        {"old store read-only", false, true, true, true, true, kUserStore},
        {"old store, Windows directory read-only", false, true, false, true, false, kUserStore},
        {"no store yet", false, false, true, true, false, kWindowsStore},
        {"no store yet, no folder writable", false, false, false, false, false, nullptr},
    };
    for (const auto& setup : setups) {
        bool succeeded = false;
        for (int failAt = 0; failAt < 32 && !succeeded; ++failAt) {
            SCOPED_TRACE(std::string(setup.what) + ", failing from step " + std::to_string(failAt));
            FakeFileSystem fs;
            fs.folders.insert(kWindows);
            if (setup.userStore) {
                fs.folders.insert(kUser);
                fs.files[kUserStore] = FileOf(3, kOld);
            }
            if (setup.windowsStore) fs.files[kWindowsStore] = FileOf(3, kOld);
            if (setup.oldReadOnly) fs.readOnlyFiles.insert(kWindowsStore);
            if (!setup.windowsWritable) fs.unwritableFolders.insert(kWindows);
            if (!setup.userWritable) fs.unwritableFolders.insert(kUser);
            fs.failCreateFolders = !setup.userWritable && !setup.userStore;
            const Names before = nextStartLoads(fs);
            EXPECT_TRUE(fs.createdFolders.empty());  // choosing what to load writes nothing
            fs.failAt = failAt;
            succeeded = SaveStoreFile(edited, folders, fs);
            fs.failAt = INT_MAX;
            EXPECT_EQ(nextStartLoads(fs), succeeded ? kEdited : before);
            for (const auto& [store, had] : {std::pair{kUserStore, setup.userStore}, {kWindowsStore, setup.windowsStore}}) {
                const Bytes want = succeeded && store == setup.savedIn ? FileOf(4, kEdited) : had ? FileOf(3, kOld) : Bytes{1};
                EXPECT_EQ(fs.files.count(store) ? fs.files[store] : Bytes{1}, want) << store;
            }
            EXPECT_FALSE(fs.HasTemporary());
        }
        EXPECT_EQ(succeeded, setup.savedIn != nullptr) << setup.what;
    }
    FakeFileSystem fs;
    fs.unwritableFolders.insert(kWindows);
    EXPECT_FALSE(SaveStoreFile(edited, StoreFolders{kWindows, "", '\\'}, fs));
    EXPECT_FALSE(SaveStoreFile(edited, StoreFolders{}, fs));
    EXPECT_TRUE(fs.files.empty());
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The machine's files (under Wine the Windows runtime's): folders made, a longer file replaced whole,
// a folder in the way left alone; then a real 64 KiB file system filled up, where mounting is allowed (root in CI; not Wine).
TEST(PresetStore, RealFilesAndARealFullDisk) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "tindlbrg-test-files";
    std::filesystem::remove_all(root);
    struct Cleanup { std::filesystem::path at; ~Cleanup() { std::error_code ec; std::filesystem::remove_all(at, ec); } }
        cleanup{root};
    const StoreFolders folders{"", (root / "Pellucid Works/tindlbrg").string(), '/'};
    const std::string store = folders.userFolder + "/tindlbrg.cfg", preset = (root / "ring.pre").string();
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), "");
    EXPECT_FALSE(std::filesystem::exists(root));  // choosing what to load writes nothing
    OwnedPresetStore old, edited, loaded;
    Fill(old, kOld);
    Fill(edited, kEdited);
    EXPECT_TRUE(SaveStoreFile(edited, folders, DefaultFileSystem()));
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), store);
    ASSERT_TRUE(SaveStore(old, store));
    ASSERT_TRUE(LoadStore(loaded, store));
    EXPECT_EQ(PresetNames(loaded), kOld);
    EXPECT_EQ(ReadAll(store), FileOf(3, kOld));
    std::filesystem::create_directories(preset);
    EXPECT_FALSE(WritePresetFile(old, 0, preset));
    EXPECT_TRUE(std::filesystem::is_directory(preset));
    EXPECT_FALSE(SaveStore(old, (root / "missing/tindlbrg.cfg").string()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folders.userFolder), {}), 1);  // no temporary left

    const std::string disk = (root / "disk").string();
    std::filesystem::create_directories(disk);
    if (std::system(("mount -t tmpfs -o size=64k tindlbrg-test '" + disk + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no right to mount a small file system here";
    struct Unmount { std::string at; ~Unmount() { std::system(("umount '" + at + "'").c_str()); } } unmount{disk};
    const std::string full = disk + "/tindlbrg.cfg", fullPreset = disk + "/ring.pre";
    ASSERT_TRUE(SaveStore(old, full) && WritePresetFile(old, 2, fullPreset));
    if (std::FILE* filler = std::fopen((disk + "/filler").c_str(), "wb")) {
        const std::vector<char> block(512, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    EXPECT_FALSE(SaveStore(edited, full));  // not even one record fits any more
    EXPECT_FALSE(WritePresetFile(edited, 3, fullPreset));
    EXPECT_EQ(ReadAll(full), FileOf(3, kOld));
    EXPECT_EQ(ReadAll(fullPreset), Record("c", 2));
    EXPECT_FALSE(std::filesystem::exists(full + ".tmp") || std::filesystem::exists(fullPreset + ".tmp"));
    std::filesystem::remove(disk + "/filler");  // with room again everything saves
    EXPECT_TRUE(SaveStore(edited, full));
    EXPECT_EQ(ReadAll(full), FileOf(4, kEdited));
}

}  // namespace
