// Every write of the saver against a medium that fails: a folder that takes no new file,
// a write cut short, a flush or close that fails (a full disk), a replacement that fails,
// and a profile that stops taking values. After each, the file that was there is intact
// byte for byte, the presets in memory are all still there, and nothing is reported as
// saved that was not; the next start loads either everything new or everything old.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "preset_test_fs.h"
#include "presets/memory_profile.h"
#include "presets/preset_store.h"
#include "presets/profile_forms.h"
#include "presets/store_location.h"

namespace {

using Bytes = FakeFileSystem::Bytes;

const char kWindows[] = "C:\\WINDOWS";
const char kUser[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg";
const char kWindowsStore[] = "C:\\WINDOWS\\tindlbrg.cfg";
const char kUserStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";
const char kPresetFile[] = "D:\\presets\\ring.pre";

// Counts every step of writing that can fail (creating folders, creating a file, each
// write, each close, each replacement) and fails step `failAt` and every one after it,
// as a disk that fills up or a medium that goes away does. A failing write stores half
// of its bytes first.
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
        if (!file) return nullptr;
        return std::make_unique<CountedFile>(*this, std::move(file));
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (Fails()) return false;
        return FakeFileSystem::Replace(from, to);
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
        bool Close() override {
            const bool closed = inner_->Close();
            return !fs_.Fails() && closed;
        }

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

void Fill(PresetStore& store, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) ASSERT_TRUE(AddPreset(store, Named(names[i], static_cast<int32_t>(i))));
}

// The store file's bytes, the count and the records, made here rather than by the
// writer under test.
Bytes StoreBytes(const PresetStore& store) {
    const auto count = static_cast<uint32_t>(store.Count());
    Bytes bytes{static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count >> 16),
                static_cast<uint8_t>(count >> 24)};
    for (int32_t i = 0; i < store.Count(); ++i) {
        const PresetBytes record = EncodePreset(*PresetAt(store, i));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

Bytes RecordBytes(const PresetStore& store, int32_t position) {
    const PresetBytes bytes = EncodePreset(*PresetAt(store, position));
    return Bytes(bytes.begin(), bytes.end());
}

bool HasTemporary(const FakeFileSystem& fs) {
    for (const auto& file : fs.files)
        if (file.first.size() > 4 && file.first.compare(file.first.size() - 4, 4, ".tmp") == 0) return true;
    return false;
}

// The presets as the next start would see them.
Bytes NextStartLoads(FakeFileSystem& fs) {
    OwnedPresetStore loaded;
    const std::string path = StoreLoadPath(StoreFolders{kWindows, kUser, '\\'}, fs);
    if (!path.empty()) {
        EXPECT_TRUE(LoadStore(loaded, path, fs));
    }
    return StoreBytes(loaded);
}

class StoreWrites : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(old_, {"a", "b", "c"});
        Fill(edited_, {"a", "c", "new 1", "new 2"});  // one deleted, two saved or imported
        oldBytes_ = StoreBytes(old_);
        newBytes_ = StoreBytes(edited_);
    }

    // The store in memory is never touched by a save, failed or not.
    void ExpectEditedStoreIntact() { EXPECT_EQ(StoreBytes(edited_), newBytes_); }

    OwnedPresetStore old_;
    OwnedPresetStore edited_;
    Bytes oldBytes_;
    Bytes newBytes_;
};

TEST_F(StoreWrites, EachSingleFaultKeepsTheOldFileAndIsReported) {
    struct Fault {
        const char* name;
        void (*inject)(FakeFileSystem&);
    };
    const Fault faults[] = {
        {"folder takes no new file", [](FakeFileSystem& fs) { fs.unwritableFolders.insert(kUser); }},
        {"write stops halfway", [](FakeFileSystem& fs) { fs.writeLimit = 300; }},
        {"flush fails, disk full", [](FakeFileSystem& fs) { fs.failClose = true; }},
        {"replacement fails", [](FakeFileSystem& fs) { fs.failReplace = true; }},
        {"old file is read-only", [](FakeFileSystem& fs) { fs.readOnlyFiles.insert(kUserStore); }},
    };
    for (const Fault& fault : faults) {
        FakeFileSystem fs;
        fs.folders.insert(kUser);
        fs.files[kUserStore] = oldBytes_;
        fault.inject(fs);
        EXPECT_FALSE(SaveStore(edited_, kUserStore, fs)) << fault.name;
        EXPECT_EQ(fs.files[kUserStore], oldBytes_) << fault.name;
        EXPECT_FALSE(HasTemporary(fs)) << fault.name;
        ExpectEditedStoreIntact();

        // Once the fault is gone the same store saves whole: no preset was lost on the way.
        FakeFileSystem healthy;
        healthy.files = fs.files;
        ASSERT_TRUE(SaveStore(edited_, kUserStore, healthy)) << fault.name;
        EXPECT_EQ(healthy.files[kUserStore], newBytes_) << fault.name;
    }
}

TEST_F(StoreWrites, AFailureAtAnyStepKeepsTheOldFile) {
    bool succeeded = false;
    for (int failAt = 0; failAt < 16 && !succeeded; ++failAt) {
        FailingFileSystem fs;
        fs.files[kUserStore] = oldBytes_;
        fs.failAt = failAt;
        const bool saved = SaveStore(edited_, kUserStore, fs);
        EXPECT_EQ(saved, !fs.Failed()) << failAt;
        EXPECT_EQ(fs.files[kUserStore], saved ? newBytes_ : oldBytes_) << failAt;
        EXPECT_FALSE(HasTemporary(fs)) << failAt;
        ExpectEditedStoreIntact();
        succeeded = saved;
    }
    EXPECT_TRUE(succeeded);
}

TEST_F(StoreWrites, AWriteCutAtAnyByteKeepsTheOldFile) {
    for (size_t limit = 0; limit < newBytes_.size(); ++limit) {
        FakeFileSystem fs;
        fs.files[kUserStore] = oldBytes_;
        fs.writeLimit = limit;
        ASSERT_FALSE(SaveStore(edited_, kUserStore, fs)) << limit;
        ASSERT_EQ(fs.files[kUserStore], oldBytes_) << limit;
        ASSERT_FALSE(HasTemporary(fs)) << limit;
    }
    FakeFileSystem fs;
    fs.writeLimit = newBytes_.size();
    EXPECT_TRUE(SaveStore(edited_, kUserStore, fs));
    EXPECT_EQ(fs.files[kUserStore], newBytes_);
}

TEST_F(StoreWrites, PresetExportKeepsAnOldFileThroughAnyFailure) {
    const Bytes oldFile = RecordBytes(old_, 1);
    const Bytes newFile = RecordBytes(edited_, 3);
    bool succeeded = false;
    for (int failAt = 0; failAt < 16 && !succeeded; ++failAt) {
        FailingFileSystem fs;
        fs.files[kPresetFile] = oldFile;
        fs.failAt = failAt;
        const bool written = WritePresetFile(edited_, 3, kPresetFile, fs);
        EXPECT_EQ(written, !fs.Failed()) << failAt;
        EXPECT_EQ(fs.files[kPresetFile], written ? newFile : oldFile) << failAt;
        EXPECT_FALSE(HasTemporary(fs)) << failAt;
        succeeded = written;
    }
    EXPECT_TRUE(succeeded);
    for (size_t limit = 0; limit < newFile.size(); ++limit) {
        FakeFileSystem fs;
        fs.files[kPresetFile] = oldFile;
        fs.writeLimit = limit;
        ASSERT_FALSE(WritePresetFile(edited_, 3, kPresetFile, fs)) << limit;
        ASSERT_EQ(fs.files[kPresetFile], oldFile) << limit;
        ASSERT_FALSE(HasTemporary(fs)) << limit;
    }
    FakeFileSystem readOnly;
    readOnly.files[kPresetFile] = oldFile;
    readOnly.readOnlyFiles.insert(kPresetFile);
    EXPECT_FALSE(WritePresetFile(edited_, 3, kPresetFile, readOnly));
    EXPECT_EQ(readOnly.files[kPresetFile], oldFile);
    ExpectEditedStoreIntact();
}

// Whichever folder the store goes to, and wherever saving fails, the next start loads
// the new presets when the save was reported and the old ones otherwise.
TEST_F(StoreWrites, NextStartLoadsWhatWasReportedSaved) {
    struct Setup {
        const char* name;
        bool userStore;
        bool windowsStore;
        bool windowsWritable;
        bool userWritable;
        bool saves;  // without injected failures
    };
    // A user store that cannot be written is not saved around: a store written anywhere
    // else would only lie hidden behind it at the next start.
    const Setup setups[] = {
        {"user store", true, true, true, true, true},
        {"user store, its folder read-only", true, true, true, false, false},
        {"old store in the Windows directory", false, true, true, true, true},
        {"old store, Windows directory read-only", false, true, false, true, true},
        {"no store yet", false, false, true, true, true},
        {"no store yet, Windows directory read-only", false, false, false, true, true},
        {"no store yet, no folder writable", false, false, false, false, false},
    };
    for (const Setup& setup : setups) {
        bool succeeded = false;
        for (int failAt = 0; failAt < 32 && !succeeded; ++failAt) {
            const std::string where = std::string(setup.name) + ", failing from step " + std::to_string(failAt);
            FailingFileSystem fs;
            fs.folders.insert(kWindows);
            if (setup.userStore) {
                fs.folders.insert(kUser);
                fs.files[kUserStore] = oldBytes_;
            }
            if (setup.windowsStore) fs.files[kWindowsStore] = oldBytes_;
            if (!setup.windowsWritable) fs.unwritableFolders.insert(kWindows);
            if (!setup.userWritable) fs.unwritableFolders.insert(kUser);
            const Bytes before = NextStartLoads(fs);
            fs.failAt = failAt;
            const bool saved = SaveStoreFile(edited_, StoreFolders{kWindows, kUser, '\\'}, fs);
            fs.failAt = std::numeric_limits<int>::max();
            EXPECT_EQ(NextStartLoads(fs), saved ? newBytes_ : before) << where;
            if (setup.windowsStore && !saved) {
                EXPECT_EQ(fs.files[kWindowsStore], oldBytes_) << where;
            }
            EXPECT_FALSE(HasTemporary(fs)) << where;
            succeeded = saved;
        }
        EXPECT_EQ(succeeded, setup.saves) << setup.name;
    }
    ExpectEditedStoreIntact();
}

// --- The profile ---------------------------------------------------------------------

// Takes the first `accepted` writes and refuses every later one, as a registry key that
// goes away in the middle of saving.
class FailingProfile : public MemoryProfile {
public:
    size_t accepted = std::numeric_limits<size_t>::max();
    size_t attempted = 0;

    bool WriteText(const char* section, const char* name, const std::string& text) override {
        if (attempted++ >= accepted) return false;
        return MemoryProfile::WriteText(section, name, text);
    }
    bool WriteNumber(const char* section, const char* name, uint32_t value) override {
        if (attempted++ >= accepted) return false;
        return MemoryProfile::WriteNumber(section, name, value);
    }
};

SaverSettings OldSettings() {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    return s;
}

// Every one of the 21 values differs from the old settings.
SaverSettings NewSettings() {
    SaverSettings s = OldSettings();
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
    for (int i = 0; i < kShapeSlots; ++i) s.color[i] = ShapeColor{i + 1, 2 * i + 1, 3 * i + 1};
    s.switches[3] = 0;
    return s;
}

struct Forms {
    std::vector<std::string> names;  // in the order of saving
    MemoryProfile profile;
};

Forms Saved(const SaverSettings& settings) {
    Forms forms;
    SaveProfile(forms.profile, settings);
    forms.names = forms.profile.writes;
    return forms;
}

bool SameValue(const MemoryProfile::Value* a, const MemoryProfile::Value* b) {
    return a != nullptr && b != nullptr && a->isText == b->isText && a->text == b->text && a->number == b->number;
}

TEST(ProfileWrites, AProfileThatStopsTakingValuesKeepsTheOldOnes) {
    const Forms oldForms = Saved(OldSettings());
    const Forms newForms = Saved(NewSettings());
    ASSERT_EQ(oldForms.names.size(), 21u);
    ASSERT_EQ(newForms.names, oldForms.names);
    for (size_t i = 0; i < 21; ++i) {
        const char* name = oldForms.names[i].c_str();
        ASSERT_FALSE(SameValue(oldForms.profile.Find(kProfileSection, name), newForms.profile.Find(kProfileSection, name)))
            << name;
    }

    for (size_t accepted = 0; accepted <= 21; ++accepted) {
        FailingProfile profile;
        SaveProfile(profile, OldSettings());
        profile.writes.clear();
        profile.accepted = profile.attempted + accepted;
        SaveProfile(profile, NewSettings());

        // No value is lost or half written: the first ones saved are new, the rest old.
        EXPECT_EQ(profile.Size(), 21u) << accepted;
        for (size_t i = 0; i < 21; ++i) {
            const char* name = oldForms.names[i].c_str();
            const Forms& expected = i < accepted ? newForms : oldForms;
            EXPECT_TRUE(SameValue(profile.Find(kProfileSection, name), expected.profile.Find(kProfileSection, name)))
                << name << ", " << accepted << " writes taken";
        }

        // Loading it gives each setting either its old or its new value.
        SaverSettings loaded = OldSettings();
        LoadProfile(profile, loaded);
        const SaverSettings oldS = OldSettings();
        const SaverSettings newS = NewSettings();
        EXPECT_TRUE(loaded.angleX == oldS.angleX || loaded.angleX == newS.angleX);
        EXPECT_TRUE(loaded.mirror == oldS.mirror || loaded.mirror == newS.mirror);
        EXPECT_TRUE(loaded.phong == oldS.phong || loaded.phong == newS.phong);
        for (int i = 0; i < kShapeSlots; ++i) {
            EXPECT_TRUE(PackColor(loaded.color[i]) == PackColor(oldS.color[i]) ||
                        PackColor(loaded.color[i]) == PackColor(newS.color[i]));
            EXPECT_EQ(loaded.switches[i] != 0, (accepted == 21 ? newS : oldS).switches[i] != 0);
        }
    }
}

TEST(ProfileWrites, AProfileThatCannotBeOpenedKeepsEverything) {
    MemoryProfile profile;
    SaveProfile(profile, OldSettings());
    const Forms oldForms = Saved(OldSettings());
    profile.available = false;
    SaveProfile(profile, NewSettings());
    profile.available = true;
    for (const std::string& name : oldForms.names)
        EXPECT_TRUE(SameValue(profile.Find(kProfileSection, name), oldForms.profile.Find(kProfileSection, name)))
            << name;
}

// --- Real files ----------------------------------------------------------------------

// A fresh folder of the machine's temporary folder; under Wine the Windows C runtime and
// the MinGW file system library do the work.
class RealFolder {
public:
    explicit RealFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("tindlbrg-reliability-" + name)) {
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
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

TEST_F(StoreWrites, RealFilesMissingFolderAndFailedReplacement) {
    RealFolder folder("replace");
    // A folder that does not exist takes no file.
    EXPECT_FALSE(SaveStore(edited_, folder.Path("missing/tindlbrg.cfg")));
    EXPECT_FALSE(WritePresetFile(edited_, 0, folder.Path("missing/ring.pre")));
    // A folder in the way of the store cannot be replaced by a file.
    std::filesystem::create_directories(folder.Root() / "tindlbrg.cfg");
    EXPECT_FALSE(SaveStore(edited_, folder.Path("tindlbrg.cfg")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Root() / "tindlbrg.cfg"));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"tindlbrg.cfg"});  // no temporary left
    ExpectEditedStoreIntact();
}

#if defined(__linux__)
Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

// A real file system of 64 KiB, mounted for the test: needs the right to mount (root
// in CI); skipped where that is not given.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::filesystem::path& at) : at_(at) {
        std::filesystem::create_directories(at_);
        const std::string command = "mount -t tmpfs -o size=64k tindlbrg-test '" + at_.string() + "' 2>/dev/null";
        mounted_ = std::system(command.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) std::system(("umount '" + at_.string() + "'").c_str());
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }

private:
    std::filesystem::path at_;
    bool mounted_ = false;
};

// Fills the file system up to its last byte.
void FillUp(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const std::vector<char> block(512, 'f');
    while (std::fwrite(block.data(), 1, block.size(), file) == block.size() && std::fflush(file) == 0) {
    }
    std::fclose(file);
}

TEST_F(StoreWrites, RealFullDiskKeepsTheOldFiles) {
    RealFolder folder("full-disk");
    SmallFileSystem disk(folder.Root() / "disk");
    if (!disk.Mounted()) GTEST_SKIP() << "no right to mount a small file system here";
    const std::string store = folder.Path("disk/tindlbrg.cfg");
    const std::string preset = folder.Path("disk/ring.pre");
    const Bytes oldPreset = RecordBytes(old_, 2);
    ASSERT_TRUE(WriteAll(store, oldBytes_));
    ASSERT_TRUE(WriteAll(preset, oldPreset));
    FillUp(folder.Path("disk/filler"));

    // Far more than fits: the write or the flush fails.
    OwnedPresetStore big;
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(AddPreset(big, Named("preset " + std::to_string(i), i)));
    EXPECT_FALSE(SaveStore(big, store));
    EXPECT_EQ(ReadAll(store), oldBytes_);
    // Even one record does not fit any more.
    EXPECT_FALSE(SaveStore(edited_, store));
    EXPECT_EQ(ReadAll(store), oldBytes_);
    EXPECT_FALSE(WritePresetFile(edited_, 3, preset));
    EXPECT_EQ(ReadAll(preset), oldPreset);
    EXPECT_FALSE(std::filesystem::exists(store + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(preset + ".tmp"));

    // With room again everything saves, and loads back whole.
    std::filesystem::remove(folder.Path("disk/filler"));
    ASSERT_TRUE(SaveStore(edited_, store));
    OwnedPresetStore loaded;
    ASSERT_TRUE(LoadStore(loaded, store));
    EXPECT_EQ(StoreBytes(loaded), newBytes_);
}
#endif

}  // namespace
