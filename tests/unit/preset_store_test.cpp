// The preset store: the list, the file layout, damaged files, and every write against a
// medium that fails (a folder that takes no file, a write cut short, a flush or a
// replacement that fails, a profile that stops taking values). After a failure the old
// file is intact byte for byte, nothing is reported as saved that was not, and the next
// start loads either everything new or everything old.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "preset_test_fs.h"
#include "presets/memory_profile.h"
#include "presets/preset_store.h"
#include "presets/profile_forms.h"
#include "presets/store_location.h"

namespace {

using Bytes = FakeFileSystem::Bytes;
using Names = std::vector<std::string>;

const char kWindows[] = "C:\\WINDOWS";
const char kUser[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg";
const char kWindowsStore[] = "C:\\WINDOWS\\tindlbrg.cfg";
const char kUserStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
const char kPresetFile[] = "D:\\presets\\ring.pre";

// Counts every step of writing that can fail (creating folders or a file, each write,
// each close, each replacement) and fails step `failAt` and every one after it, as a disk
// that fills up does. A failing write stores half of its bytes first.
class FailingFileSystem : public FakeFileSystem {
public:
    int failAt = std::numeric_limits<int>::max();
    int steps = 0;

    bool Fails() { return steps++ >= failAt; }
    bool Failed() const { return steps > failAt; }

    bool CreateFolders(const std::string& folder) override {
        if (Fails() && folders.count(folder) == 0) return false;
        return FakeFileSystem::CreateFolders(folder);
    }
    std::unique_ptr<File> Create(const std::string& path) override {
        if (Fails()) return nullptr;
        std::unique_ptr<File> file = FakeFileSystem::Create(path);
        return file ? std::make_unique<CountedFile>(*this, std::move(file)) : nullptr;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return !Fails() && FakeFileSystem::Replace(from, to);
    }

private:
    class CountedFile : public File {
    public:
        CountedFile(FailingFileSystem& fs, std::unique_ptr<File> inner) : fs_(fs), inner_(std::move(inner)) {}
        size_t Read(void* buffer, size_t size) override { return inner_->Read(buffer, size); }
        bool Write(const void* data, size_t size) override {
            if (!fs_.Fails()) return inner_->Write(data, size);
            inner_->Write(data, size / 2);
            return false;
        }
        bool Close() override { return inner_->Close() && !fs_.Fails(); }

    private:
        FailingFileSystem& fs_;
        std::unique_ptr<File> inner_;
    };
};

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
    const auto u = static_cast<uint32_t>(count);
    Bytes file{static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
               static_cast<uint8_t>(u >> 24)};
    for (size_t i = 0; i < names.size(); ++i) {
        const Bytes r = Record(Named(names[i], static_cast<int32_t>(i)));
        file.insert(file.end(), r.begin(), r.end());
    }
    const Bytes tail = Record(Named("partial"));
    file.insert(file.end(), tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(extra));
    return file;
}

Bytes FileOf(const PresetStore& store) {
    Bytes file = FileOf(store.Count(), {});
    for (int32_t i = 0; i < store.Count(); ++i) {
        const Bytes r = Record(*PresetAt(store, i));
        file.insert(file.end(), r.begin(), r.end());
    }
    return file;
}

bool HasTemporary(const FakeFileSystem& fs) {
    for (const auto& file : fs.files)
        if (file.first.size() > 4 && file.first.compare(file.first.size() - 4, 4, ".tmp") == 0) return true;
    return false;
}

TEST(PresetStore, ListAppendsInOrderKeepsDuplicatesAndRemovesByPosition) {
    OwnedPresetStore store;
    EXPECT_EQ(store.Capacity(), 256);
    EXPECT_EQ(store.GrowthStep(), 16);
    for (const char* name : {"a", "100%", "a", "b"}) ASSERT_TRUE(AddPreset(store, Named(name)));
    for (int32_t position : {1, -1, 3}) RemovePreset(store, position);
    EXPECT_EQ(PresetNames(store), (Names{"a", "a", "b"}));
    EXPECT_EQ(PresetAt(store, 3), nullptr);
    EXPECT_EQ(PresetAt(store, -1), nullptr);
    ClearStore(store);
    EXPECT_EQ(store.Count(), 0);
}

TEST(PresetStore, TheFileIsTheCountAndTheRecordsAndAPresetFileOneRecord) {
    FakeFileSystem fs;
    ASSERT_TRUE(SaveStore(OwnedPresetStore(), kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], Bytes(4, 0));
    OwnedPresetStore store;
    Fill(store, {"one", "two", "three"});
    ASSERT_TRUE(SaveStore(store, kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], FileOf(3, {"one", "two", "three"}));
    EXPECT_EQ(fs.files.size(), 1u);

    // Loading replaces what the store held.
    OwnedPresetStore loaded;
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
        {"empty store file", false, Bytes{}, true, {}},
        {"no store file", false, std::nullopt, false, {"kept"}},
        {"preset file of 229 bytes", true, longer, true, {"kept", "long"}},
        {"preset file of 227 bytes", true, Bytes(record.begin(), record.end() - 1), true, {"kept"}},
        {"empty preset file", true, Bytes{}, true, {"kept"}},
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
        if (row.file) {
            EXPECT_EQ(fs.files["f"], *row.file);
        }
    }
    OwnedPresetStore store;
    Fill(store, {"kept"});
    FakeFileSystem fs;
    EXPECT_FALSE(LoadStore(store, "", fs));
    EXPECT_FALSE(SaveStore(store, "", fs));
    EXPECT_TRUE(fs.files.empty());
}

// Both writers, the store and an exported preset, against single faults, a failure from
// every step on, and a write cut at every byte.
TEST(PresetStore, EveryFailedWriteKeepsTheOldFileAndIsReported) {
    OwnedPresetStore old;
    Fill(old, {"a", "b", "c"});
    OwnedPresetStore edited;
    Fill(edited, {"a", "c", "new 1", "new 2"});  // one deleted, two added
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
        {"no file can be made", [](FakeFileSystem& fs, const char*) { fs.failCreate = true; }},
        {"write stops halfway", [](FakeFileSystem& fs, const char*) { fs.writeLimit = 100; }},
        {"flush fails, disk full", [](FakeFileSystem& fs, const char*) { fs.failClose = true; }},
        {"replacement fails", [](FakeFileSystem& fs, const char*) { fs.failReplace = true; }},
        {"old file is read-only", [](FakeFileSystem& fs, const char* p) { fs.readOnlyFiles.insert(p); }},
    };
    auto expectKept = [](const FakeFileSystem& fs, const Writer& w, bool written, const std::string& where) {
        EXPECT_EQ(fs.files.at(w.path), written ? w.newFile : w.oldFile) << where;
        EXPECT_FALSE(HasTemporary(fs)) << where;
    };
    for (const Writer& w : writers) {
        for (const Fault& fault : faults) {
            const std::string where = std::string(w.what) + ", " + fault.what;
            FakeFileSystem fs;
            fs.files[w.path] = w.oldFile;
            fault.inject(fs, w.path);
            EXPECT_FALSE(w.write(fs)) << where;
            expectKept(fs, w, false, where);
        }
        bool succeeded = false;
        for (int failAt = 0; failAt < 16 && !succeeded; ++failAt) {
            FailingFileSystem fs;
            fs.files[w.path] = w.oldFile;
            fs.failAt = failAt;
            succeeded = w.write(fs);
            EXPECT_EQ(succeeded, !fs.Failed()) << w.what << ", failing from step " << failAt;
            expectKept(fs, w, succeeded, std::string(w.what) + ", failing from step " + std::to_string(failAt));
        }
        EXPECT_TRUE(succeeded) << w.what;
        for (size_t limit = 0; limit <= w.newFile.size(); ++limit) {
            FakeFileSystem fs;
            fs.files[w.path] = w.oldFile;
            fs.writeLimit = limit;
            const bool whole = limit == w.newFile.size();
            ASSERT_EQ(w.write(fs), whole) << w.what << ", " << limit << " bytes fit";
            expectKept(fs, w, whole, std::string(w.what) + ", " + std::to_string(limit) + " bytes fit");
        }
    }
    EXPECT_EQ(FileOf(edited), editedBytes);  // a save never touches the store in memory
}

// Takes the first `accepted` writes and refuses every later one, as a registry key that
// goes away in the middle of saving.
class FailingProfile : public MemoryProfile {
public:
    size_t accepted = std::numeric_limits<size_t>::max();
    size_t attempted = 0;

    bool WriteText(const char* section, const char* name, const std::string& text) override {
        return attempted++ < accepted && MemoryProfile::WriteText(section, name, text);
    }
    bool WriteNumber(const char* section, const char* name, uint32_t value) override {
        return attempted++ < accepted && MemoryProfile::WriteNumber(section, name, value);
    }
};

SaverSettings Settings(bool edited) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    if (!edited) return s;
    // Every one of the 21 values differs from the defaults.
    s.angleX = 0.5f;
    s.angleY = -0.25f;
    s.angleZ = 2.0f;
    s.cbStep = -1.0f;
    s.csStep = 0.02f;
    s.ambient = 0.125f;
    s.mirror = 0.75f;
    s.randomly = 1;
    s.shape = 2;
    s.size1 = 40;
    s.size2 = 12;
    s.bound = 0;
    s.phong = 9;
    s.switches[3] = 0;
    for (int i = 0; i < kShapeSlots; ++i) s.color[i] = ShapeColor{i + 1, 2 * i + 1, 3 * i + 1};
    return s;
}

// A profile that stops taking values in mid-save keeps the old value of each one it
// refused and the new value of each one it took; one that cannot be opened keeps all.
TEST(PresetStore, AProfileThatStopsTakingValuesKeepsTheOldOnes) {
    MemoryProfile oldForms, newForms;
    SaveProfile(oldForms, Settings(false));
    SaveProfile(newForms, Settings(true));
    const Names order = oldForms.writes;
    ASSERT_EQ(order.size(), 21u);
    auto same = [](const MemoryProfile::Value* a, const MemoryProfile::Value* b) {
        return a && b && a->isText == b->isText && a->text == b->text && a->number == b->number;
    };
    for (const std::string& name : order)
        ASSERT_FALSE(same(oldForms.Find(kProfileSection, name), newForms.Find(kProfileSection, name))) << name;
    for (size_t accepted = 0; accepted <= 22; ++accepted) {
        FailingProfile profile;
        SaveProfile(profile, Settings(false));
        profile.accepted = profile.attempted + accepted;
        profile.available = accepted != 22;  // the last row: the key cannot be opened
        SaveProfile(profile, Settings(true));
        profile.available = true;
        EXPECT_EQ(profile.Size(), 21u) << accepted;
        for (size_t i = 0; i < 21; ++i) {
            const MemoryProfile& want = i < accepted && accepted != 22 ? newForms : oldForms;
            EXPECT_TRUE(same(profile.Find(kProfileSection, order[i]), want.Find(kProfileSection, order[i])))
                << order[i] << ", " << accepted << " writes taken";
        }
    }
}

// The real files of the machine: under Wine the Windows C runtime and the MinGW file
// system library do the work.
class RealFolder {
public:
    explicit RealFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("tindlbrg-test-" + name)) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        std::filesystem::create_directories(path_);
    }
    ~RealFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    RealFolder(const RealFolder&) = delete;
    RealFolder& operator=(const RealFolder&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Root() const { return path_; }
    Names Entries() const {
        Names names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
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
        {"no store yet, Windows directory read-only", false, false, false, true, false, kUserStore},
        {"no store yet, no folder writable", false, false, false, false, false, nullptr},
    };
    for (const Setup& setup : setups) {
        bool succeeded = false;
        for (int failAt = 0; failAt < 32 && !succeeded; ++failAt) {
            SCOPED_TRACE(std::string(setup.what) + ", failing from step " + std::to_string(failAt));
            FailingFileSystem fs;
            fs.folders.insert(kWindows);
            if (setup.userStore) {
                fs.folders.insert(kUser);
                fs.files[kUserStore] = oldBytes;
            }
            if (setup.windowsStore) fs.files[kWindowsStore] = oldBytes;
            if (setup.oldReadOnly) fs.readOnlyFiles.insert(kWindowsStore);
            if (!setup.windowsWritable) fs.unwritableFolders.insert(kWindows);
            if (!setup.userWritable) fs.unwritableFolders.insert(kUser);
            if (!setup.userWritable && !setup.userStore) fs.failCreateFolders = true;
            const Bytes before = nextStartLoads(fs);
            EXPECT_TRUE(fs.createdFolders.empty());  // choosing what to load writes nothing
            fs.failAt = failAt;
            succeeded = SaveStoreFile(edited, folders, fs);
            fs.failAt = std::numeric_limits<int>::max();
            EXPECT_EQ(nextStartLoads(fs), succeeded ? FileOf(edited) : before);
            // Only the file saved into changes; an old store elsewhere is left alone.
            for (const char* store : {kUserStore, kWindowsStore}) {
                const bool had = store == kUserStore ? setup.userStore : setup.windowsStore;
                const bool saved = succeeded && store == setup.savedIn;
                if (saved || had) {
                    EXPECT_EQ(fs.files[store], saved ? FileOf(edited) : oldBytes) << store;
                } else {
                    EXPECT_EQ(fs.files.count(store), 0u) << store;
                }
            }
            EXPECT_FALSE(HasTemporary(fs));
        }
        EXPECT_EQ(succeeded, setup.savedIn != nullptr) << setup.what;
    }
    FakeFileSystem fs;
    fs.unwritableFolders.insert(kWindows);
    EXPECT_FALSE(SaveStoreFile(edited, StoreFolders{kWindows, "", '\\'}, fs));
    EXPECT_FALSE(SaveStoreFile(edited, StoreFolders{}, fs));
    EXPECT_TRUE(fs.files.empty());
}

// The real folders of the machine: the user's folders are made for the store.
TEST(PresetStore, TheStoreGoesIntoRealFoldersMadeForIt) {
    const std::pair<const char*, const char*> names[] = {
        {"C:\\WINDOWS", "C:\\WINDOWS\\tindlbrg.cfg"}, {"C:\\", "C:\\tindlbrg.cfg"}, {"", ""}};
    for (const auto& [folder, file] : names) EXPECT_EQ(StoreFileIn(folder, '\\'), file);
    RealFolder base("location");
    const StoreFolders folders{"", base.Path("Pellucid Works/tindlbrg"), '/'};
    EXPECT_EQ(StoreFileIn(folders.userFolder, '/'), folders.userFolder + "/tindlbrg.cfg");
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), "");
    EXPECT_TRUE(base.Entries().empty());  // choosing what to load writes nothing
    OwnedPresetStore store;
    Fill(store, {"saved"});
    EXPECT_TRUE(SaveStoreFile(store, folders, DefaultFileSystem()));
    EXPECT_EQ(ReadAll(folders.userFolder + "/tindlbrg.cfg"), FileOf(store));
    EXPECT_EQ(StoreLoadPath(folders, DefaultFileSystem()), folders.userFolder + "/tindlbrg.cfg");
}

TEST(PresetStore, RealFilesAreReplacedWholeOrNotAtAll) {
    RealFolder folder("files");
    OwnedPresetStore store;
    Fill(store, {"first", "second"});
    const std::string path = folder.Path("tindlbrg.cfg");
    const std::string preset = folder.Path("ring.pre");
    ASSERT_TRUE(WriteAll(path, Bytes(1000, 'o')));
    ASSERT_TRUE(WriteAll(preset, Bytes(1000, 'o')));
    ASSERT_TRUE(SaveStore(store, path));
    ASSERT_TRUE(WritePresetFile(store, 1, preset));
    EXPECT_EQ(ReadAll(path), FileOf(store));
    EXPECT_EQ(ReadAll(preset), Record(*PresetAt(store, 1)));
    OwnedPresetStore loaded;
    ASSERT_TRUE(LoadStore(loaded, path));
    ASSERT_TRUE(ReadPresetFile(loaded, preset));
    EXPECT_EQ(PresetNames(loaded), (Names{"first", "second", "second"}));

    // A folder that does not exist takes no file; a folder in the way of the store cannot
    // be replaced by one.
    EXPECT_FALSE(SaveStore(store, folder.Path("missing/tindlbrg.cfg")));
    EXPECT_FALSE(WritePresetFile(store, 0, folder.Path("missing/ring.pre")));
    EXPECT_FALSE(LoadStore(loaded, folder.Path("missing/tindlbrg.cfg")));
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);
    EXPECT_FALSE(SaveStore(store, path));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(folder.Entries().size(), 2u);  // no temporary left
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
    const std::string store = folder.Path("disk/tindlbrg.cfg");
    const std::string preset = folder.Path("disk/ring.pre");
    OwnedPresetStore old;
    Fill(old, {"a", "b", "c"});
    OwnedPresetStore edited;
    Fill(edited, {"a", "c", "new 1", "new 2"});
    ASSERT_TRUE(WriteAll(store, FileOf(old)));
    ASSERT_TRUE(WriteAll(preset, Record(*PresetAt(old, 2))));
    if (std::FILE* filler = std::fopen(folder.Path("disk/filler").c_str(), "wb")) {
        const std::vector<char> block(512, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    OwnedPresetStore big;
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(AddPreset(big, Named("preset " + std::to_string(i), i)));
    EXPECT_FALSE(SaveStore(big, store));  // far more than fits
    EXPECT_FALSE(SaveStore(edited, store));  // even one record does not fit any more
    EXPECT_FALSE(WritePresetFile(edited, 3, preset));
    EXPECT_EQ(ReadAll(store), FileOf(old));
    EXPECT_EQ(ReadAll(preset), Record(*PresetAt(old, 2)));
    EXPECT_FALSE(std::filesystem::exists(store + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(preset + ".tmp"));

    // With room again everything saves, and loads back whole.
    std::filesystem::remove(folder.Path("disk/filler"));
    EXPECT_TRUE(SaveStore(edited, store));
    OwnedPresetStore loaded;
    EXPECT_TRUE(LoadStore(loaded, store));
    EXPECT_EQ(FileOf(loaded), FileOf(edited));
}

}  // namespace
