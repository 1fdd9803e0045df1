// The preset store: the list, the file layout, damaged files, and every write against a
// medium that fails. After a failure the old file is intact byte for byte, nothing is
// reported as saved that was not, and the next start loads everything new or everything old.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "preset_test_fs.h"
#include "presets/preset_store.h"
#include "presets/store_location.h"

namespace {

using Bytes = FakeFileSystem::Bytes;
using Names = std::vector<std::string>;

const char kWindows[] = "C:\\WINDOWS";
const char kUser[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg";
const char kWindowsStore[] = "C:\\WINDOWS\\tindlbrg.cfg";
const char kUserStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
const char kPresetFile[] = "D:\\presets\\ring.pre";

PresetHolder Named(const std::string& name, int32_t size1 = 30) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    s.size1 = size1;
    return MakePresetFromSettings(name, s);
}

void Fill(PresetStore& store, const Names& names) {
    for (size_t i = 0; i < names.size(); ++i) EXPECT_TRUE(AddPreset(store, Named(names[i], static_cast<int32_t>(i))));
}

Bytes Record(const PresetHolder& preset) {
    const PresetBytes b = EncodePreset(preset);
    return Bytes(b.begin(), b.end());
}

// A store file made here rather than by the writer under test: the count word, the
// records of `names` (as Fill makes them), then `extra` bytes of one more record.
Bytes FileOf(int32_t count, const Names& names, size_t extra = 0) {
    Bytes file;
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(static_cast<uint32_t>(count) >> shift));
    for (size_t i = 0; i < names.size(); ++i) {
        const Bytes record = Record(Named(names[i], static_cast<int32_t>(i)));
        file.insert(file.end(), record.begin(), record.end());
    }
    const Bytes partial = Record(Named("partial"));
    file.insert(file.end(), partial.begin(), partial.begin() + static_cast<std::ptrdiff_t>(extra));
    return file;
}

Bytes FileOf(const PresetStore& store) {
    Bytes file = FileOf(store.Count(), {});
    for (int32_t i = 0; i < store.Count(); ++i) {
        const Bytes record = Record(*PresetAt(store, i));
        file.insert(file.end(), record.begin(), record.end());
    }
    return file;
}

TEST(PresetStore, TheListAndItsFileOfTheCountAndTheRecords) {
    OwnedPresetStore list;
    Fill(list, {"a", "100%", "a", "b"});
    EXPECT_EQ(list.Capacity(), 256);
    EXPECT_EQ(list.GrowthStep(), 16);
    for (int32_t position : {1, -1, 3}) RemovePreset(list, position);  // duplicates kept, removed by position
    EXPECT_EQ(PresetNames(list), (Names{"a", "a", "b"}));
    EXPECT_EQ(PresetAt(list, 3), nullptr);
    EXPECT_EQ(PresetAt(list, -1), nullptr);
    ClearStore(list);
    EXPECT_EQ(list.Count(), 0);

    FakeFileSystem fs;
    ASSERT_TRUE(SaveStore(OwnedPresetStore(), kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], Bytes(4, 0));
    OwnedPresetStore store;
    Fill(store, {"one", "two", "three"});
    ASSERT_TRUE(SaveStore(store, kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], FileOf(3, {"one", "two", "three"}));
    EXPECT_EQ(fs.files.size(), 1u);
    OwnedPresetStore loaded;  // loading replaces what the store held
    Fill(loaded, {"stale"});
    EXPECT_TRUE(LoadStore(loaded, kUserStore, fs));
    EXPECT_EQ(FileOf(loaded), fs.files[kUserStore]);

    // Export replaces an existing file with one record; import appends it.
    fs.files[kPresetFile] = Bytes(500, 0xEE);
    ASSERT_TRUE(WritePresetFile(store, 1, kPresetFile, fs));
    EXPECT_EQ(fs.files[kPresetFile], Record(*PresetAt(store, 1)));
    EXPECT_TRUE(ReadPresetFile(store, kPresetFile, fs));
    EXPECT_EQ(PresetNames(store), (Names{"one", "two", "three", "two"}));
    for (int32_t position : {-1, 4}) EXPECT_FALSE(WritePresetFile(store, position, "none.pre", fs)) << position;
    EXPECT_EQ(fs.files.count("none.pre"), 0u);
    EXPECT_FALSE(LoadStore(store, "", fs));
    EXPECT_FALSE(SaveStore(store, "", fs));
}

// Files as a crash, another program or a hand may leave them: only whole records load,
// loading never writes, and a missing file leaves the store as it was.
TEST(PresetStore, DamagedFilesYieldTheWholeRecordsOnly) {
    Bytes longer = Record(Named("long"));
    longer.push_back(0x55);
    const Bytes record = Record(Named("short"));
    const struct Row {
        const char* what;
        bool presetFile;  // read as one exported preset rather than a store
        std::optional<Bytes> file;
        bool read;
        Names names;
    } rows[] = {
        {"count five, two and a half records", false, FileOf(5, {"a", "b"}, 114), true, {"a", "b"}},
        {"bytes after the counted records", false, FileOf(1, {"a"}, 227), true, {"a"}},
        {"count zero", false, FileOf(0, {"a", "b"}), true, {}},
        {"negative count", false, FileOf(-3, {"a"}), true, {}},
        {"absurd count: the file's end ends it", false, FileOf(INT32_MAX, {"a"}), true, {"a"}},
        {"count cut short", false, Bytes{1, 0}, true, {}},
        {"no store file", false, std::nullopt, false, {"kept"}},
        {"preset file of 229 bytes", true, longer, true, {"kept", "long"}},
        {"preset file of 227 bytes", true, Bytes(record.begin(), record.end() - 1), true, {"kept"}},
        {"no preset file", true, std::nullopt, false, {"kept"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeFileSystem fs;
        if (row.file) fs.files["f"] = *row.file;
        fs.readOnlyFiles.insert("f");  // reading needs no right to write
        OwnedPresetStore store;
        Fill(store, {"kept"});
        EXPECT_EQ(row.presetFile ? ReadPresetFile(store, "f", fs) : LoadStore(store, "f", fs), row.read);
        EXPECT_EQ(PresetNames(store), row.names);
        EXPECT_EQ(store.Capacity(), 256);
        EXPECT_EQ(fs.files.count("f") ? std::optional<Bytes>(fs.files["f"]) : std::nullopt, row.file);
    }
}

// Both writers, the store and an exported preset, against single faults, a failure from
// every step on, and a write cut at every byte.
TEST(PresetStore, EveryFailedWriteKeepsTheOldFileAndIsReported) {
    OwnedPresetStore old;
    Fill(old, {"a", "b", "c"});
    OwnedPresetStore edited;  // one deleted, two added
    Fill(edited, {"a", "c", "new 1", "new 2"});
    const Bytes editedBytes = FileOf(edited);
    const struct Writer {
        const char* what;
        const char* path;
        Bytes oldFile, newFile;
        std::function<bool(FileSystem&)> write;
    } writers[] = {
        {"store", kUserStore, FileOf(old), editedBytes,
         [&](FileSystem& fs) { return SaveStore(edited, kUserStore, fs); }},
        {"preset file", kPresetFile, Record(*PresetAt(old, 1)), Record(*PresetAt(edited, 3)),
         [&](FileSystem& fs) { return WritePresetFile(edited, 3, kPresetFile, fs); }},
    };
    const struct Fault {
        const char* what;
        void (*inject)(FakeFileSystem&, const char* path);
    } faults[] = {
        {"folder takes no new file",
         [](FakeFileSystem& fs, const char* p) { fs.unwritableFolders.insert(fs.FolderOf(p)); }},
        {"flush fails, disk full", [](FakeFileSystem& fs, const char*) { fs.failClose = true; }},
        {"replacement fails", [](FakeFileSystem& fs, const char*) { fs.failReplace = true; }},
        {"old file is read-only", [](FakeFileSystem& fs, const char* p) { fs.readOnlyFiles.insert(p); }},
    };
    for (const Writer& w : writers) {
        std::vector<std::pair<std::string, std::function<void(FakeFileSystem&)>>> injections;
        for (const Fault& f : faults) injections.emplace_back(f.what, [&](FakeFileSystem& fs) { f.inject(fs, w.path); });
        for (int at = 0; at < 16; ++at)
            injections.emplace_back("failing from step " + std::to_string(at), [at](FakeFileSystem& fs) { fs.failAt = at; });
        for (size_t limit = 0; limit <= w.newFile.size(); ++limit)
            injections.emplace_back(std::to_string(limit) + " bytes fit", [limit](FakeFileSystem& fs) { fs.writeLimit = limit; });
        for (const auto& [what, inject] : injections) {
            FakeFileSystem fs;
            fs.files[w.path] = w.oldFile;
            inject(fs);
            const bool unharmed = fs.failAt == INT_MAX && fs.writeLimit >= w.newFile.size() &&
                                  !fs.failClose && !fs.failReplace && fs.unwritableFolders.empty() && fs.readOnlyFiles.empty();
            const bool written = w.write(fs);
            EXPECT_EQ(written, unharmed || (fs.failAt != INT_MAX && !fs.Failed())) << w.what << ", " << what;
            EXPECT_EQ(fs.files.at(w.path), written ? w.newFile : w.oldFile) << w.what << ", " << what;
            EXPECT_FALSE(fs.HasTemporary()) << w.what << ", " << what;
        }
        FakeFileSystem fs;  // the step sweep reaches a write that succeeds
        EXPECT_TRUE(w.write(fs));
        EXPECT_LT(fs.steps, 16) << w.what;
    }
    EXPECT_EQ(FileOf(edited), editedBytes);  // a save never touches the store in memory
}

// The store loads from the user's folder when a store is there, else from the Windows
// directory; it saves where it loads from, else into the Windows directory, else into
// the user's folder. Wherever saving fails, the next start loads the new presets when
// the save was reported and the old ones otherwise.
TEST(PresetStore, TheNextStartLoadsWhatWasReportedSaved) {
    OwnedPresetStore edited;
    Fill(edited, {"a", "c", "new 1", "new 2"});
    const Bytes oldBytes = FileOf(3, {"a", "b", "c"});
    const StoreFolders folders{kWindows, kUser, '\\'};
    auto nextStartLoads = [&](FakeFileSystem& fs) {
        OwnedPresetStore loaded;
        const std::string path = StoreLoadPath(folders, fs);
        if (!path.empty()) {
            EXPECT_TRUE(LoadStore(loaded, path, fs));
        }
        return FileOf(loaded);
    };
    // A user store that cannot be written is not saved around: a store written anywhere
    // else would only lie hidden behind it at the next start.
    const struct Setup {
        const char* what;
        bool userStore, windowsStore, windowsWritable, userWritable, oldReadOnly;
        const char* savedIn;  // without injected failures; null: not saved
    } setups[] = {
        {"user store", true, true, true, true, false, kUserStore},
        {"user store, its folder read-only", true, true, true, false, false, nullptr},
        {"old store in the Windows directory", false, true, true, true, false, kWindowsStore},
        {"old store read-only", false, true, true, true, true, kUserStore},
        {"old store, Windows directory read-only", false, true, false, true, false, kUserStore},
        {"no store yet", false, false, true, true, false, kWindowsStore},
        {"no store yet, no folder writable", false, false, false, false, false, nullptr},
    };
    for (const Setup& setup : setups) {
        bool succeeded = false;
        for (int failAt = 0; failAt < 32 && !succeeded; ++failAt) {
            SCOPED_TRACE(std::string(setup.what) + ", failing from step " + std::to_string(failAt));
            FakeFileSystem fs;
            fs.folders.insert(kWindows);
            if (setup.userStore) {
                fs.folders.insert(kUser);
                fs.files[kUserStore] = oldBytes;
            }
            if (setup.windowsStore) fs.files[kWindowsStore] = oldBytes;
            if (setup.oldReadOnly) fs.readOnlyFiles.insert(kWindowsStore);
            if (!setup.windowsWritable) fs.unwritableFolders.insert(kWindows);
            if (!setup.userWritable) fs.unwritableFolders.insert(kUser);
            fs.failCreateFolders = !setup.userWritable && !setup.userStore;
            const Bytes before = nextStartLoads(fs);
            EXPECT_TRUE(fs.createdFolders.empty());  // choosing what to load writes nothing
            fs.failAt = failAt;
            succeeded = SaveStoreFile(edited, folders, fs);
            fs.failAt = INT_MAX;
            EXPECT_EQ(nextStartLoads(fs), succeeded ? FileOf(edited) : before);
            // Only the file saved into changes; an old store elsewhere is left alone.
            for (const auto& [store, had] : {std::pair{kUserStore, setup.userStore}, {kWindowsStore, setup.windowsStore}}) {
                const bool saved = succeeded && store == setup.savedIn;
                EXPECT_EQ(fs.files.count(store) ? fs.files[store] : Bytes{1}, saved ? FileOf(edited) : had ? oldBytes : Bytes{1})
                    << store;
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
    EXPECT_EQ(StoreFileIn("C:\\", '\\'), "C:\\tindlbrg.cfg");
    EXPECT_EQ(StoreFileIn("", '\\'), "");
}

// A folder of the machine's own, emptied before and after; under Wine the Windows C
// runtime and the MinGW file system library do the work.
struct RealFolder {
    explicit RealFolder(const std::string& name) : root(std::filesystem::temp_directory_path() / ("tindlbrg-test-" + name)) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~RealFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string Path(const std::string& name) const { return (root / name).string(); }
    size_t Entries() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(root), {})); }
    const std::filesystem::path root;
};

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// Real files are replaced whole or not at all; the user's folders are made for the store.
TEST(PresetStore, RealFilesAndFolders) {
    RealFolder folder("files");
    const StoreFolders folders{"", folder.Path("Pellucid Works/tindlbrg"), '/'};
    const std::string store = folders.userFolder + "/tindlbrg.cfg", preset = folder.Path("ring.pre");
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), "");
    EXPECT_EQ(folder.Entries(), 0u);  // choosing what to load writes nothing
    OwnedPresetStore saved;
    Fill(saved, {"first", "second"});
    EXPECT_TRUE(SaveStoreFile(saved, folders, DefaultFileSystem()));
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), store);
    ASSERT_TRUE(WriteAll(store, Bytes(1000, 'o')));
    ASSERT_TRUE(WriteAll(preset, Bytes(1000, 'o')));
    ASSERT_TRUE(SaveStore(saved, store));
    ASSERT_TRUE(WritePresetFile(saved, 1, preset));
    EXPECT_EQ(ReadAll(store), FileOf(saved));
    EXPECT_EQ(ReadAll(preset), Record(*PresetAt(saved, 1)));
    OwnedPresetStore loaded;
    ASSERT_TRUE(LoadStore(loaded, store));
    ASSERT_TRUE(ReadPresetFile(loaded, preset));
    EXPECT_EQ(PresetNames(loaded), (Names{"first", "second", "second"}));

    // A folder that does not exist takes no file; a folder in the way of the store cannot
    // be replaced by one.
    EXPECT_FALSE(SaveStore(saved, folder.Path("missing/tindlbrg.cfg")));
    EXPECT_FALSE(WritePresetFile(saved, 0, folder.Path("missing/ring.pre")));
    EXPECT_FALSE(LoadStore(loaded, folder.Path("missing/tindlbrg.cfg")));
    std::filesystem::remove(preset);
    std::filesystem::create_directories(preset);
    EXPECT_FALSE(WritePresetFile(saved, 0, preset));
    EXPECT_TRUE(std::filesystem::is_directory(preset));
    EXPECT_EQ(folder.Entries(), 2u);  // no temporary left
}

// A real file system of 64 KiB, mounted for the test: needs the right to mount (root in
// CI); skipped where that is not given (and under Wine).
TEST(PresetStore, ARealFullDiskKeepsTheOldFiles) {
    RealFolder folder("full-disk");
    const std::string disk = folder.Path("disk");
    std::filesystem::create_directories(disk);
    if (std::system(("mount -t tmpfs -o size=64k tindlbrg-test '" + disk + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no right to mount a small file system here";
    struct Unmount {
        std::string at;
        ~Unmount() { std::system(("umount '" + at + "'").c_str()); }
    } unmount{disk};
    const std::string store = disk + "/tindlbrg.cfg", preset = disk + "/ring.pre";
    OwnedPresetStore old, edited;
    Fill(old, {"a", "b", "c"});
    Fill(edited, {"a", "c", "new 1", "new 2"});
    ASSERT_TRUE(WriteAll(store, FileOf(old)));
    ASSERT_TRUE(WriteAll(preset, Record(*PresetAt(old, 2))));
    if (std::FILE* filler = std::fopen((disk + "/filler").c_str(), "wb")) {
        const std::vector<char> block(512, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    EXPECT_FALSE(SaveStore(edited, store));  // not even one record fits any more
    EXPECT_FALSE(WritePresetFile(edited, 3, preset));
    EXPECT_EQ(ReadAll(store), FileOf(old));
    EXPECT_EQ(ReadAll(preset), Record(*PresetAt(old, 2)));
    EXPECT_FALSE(std::filesystem::exists(store + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(preset + ".tmp"));
    std::filesystem::remove(disk + "/filler");  // with room again everything saves
    EXPECT_TRUE(SaveStore(edited, store));
    EXPECT_EQ(ReadAll(store), FileOf(edited));
}

}  // namespace
