#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "preset_test_fs.h"
#include "presets/preset_store.h"

namespace {

using Bytes = FakeFileSystem::Bytes;

const char kStore[] = "C:\\Users\\u\\tindlbrg.cfg";
const char kPreset[] = "D:\\ring.pre";

PresetHolder Named(const std::string& name, int32_t shape = 0) {
    SaverSettings s{};
    RunState r{};
    SetDefaults(s, r);
    s.shape = shape;
    return MakePresetFromSettings(name, s);
}

Bytes Word(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

Bytes Record(const std::string& name) {
    const PresetBytes b = EncodePreset(Named(name));
    return Bytes(b.begin(), b.end());
}

Bytes StoreFile(int32_t count, const std::vector<std::string>& names, size_t extra = 0) {
    Bytes file = Word(count);
    for (const std::string& name : names) {
        const Bytes r = Record(name);
        file.insert(file.end(), r.begin(), r.end());
    }
    const Bytes tail = Record("partial");
    file.insert(file.end(), tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(extra));
    return file;
}

TEST(PresetStoreList, AppendsInOrderKeepsDuplicatesAndRemovesByPosition) {
    OwnedPresetStore store;
    EXPECT_EQ(store.Capacity(), 256);
    EXPECT_EQ(store.GrowthStep(), 16);
    for (const char* name : {"a", "100%", "a", "b"}) ASSERT_TRUE(AddPreset(store, Named(name)));
    EXPECT_EQ(PresetNames(store), (std::vector<std::string>{"a", "100%", "a", "b"}));
    RemovePreset(store, 1);
    RemovePreset(store, -1);
    RemovePreset(store, 3);
    EXPECT_EQ(PresetNames(store), (std::vector<std::string>{"a", "a", "b"}));
    EXPECT_EQ(PresetAt(store, 3), nullptr);
    EXPECT_EQ(PresetAt(store, -1), nullptr);
    ClearStore(store);
    EXPECT_EQ(store.Count(), 0);
}

TEST(PresetStoreFile, EmptyStoreSavesAsFourZeroBytes) {
    FakeFileSystem fs;
    OwnedPresetStore store;
    EXPECT_TRUE(SaveStore(store, kStore, fs));
    EXPECT_EQ(fs.files[kStore], Bytes(4, 0));
    EXPECT_EQ(fs.files.size(), 1u);
}

TEST(PresetStoreFile, SavedFileIsTheCountAndTheRecords) {
    FakeFileSystem fs;
    OwnedPresetStore store;
    for (const char* name : {"one", "two", "three"}) AddPreset(store, Named(name));
    ASSERT_TRUE(SaveStore(store, kStore, fs));
    EXPECT_EQ(fs.files[kStore], StoreFile(3, {"one", "two", "three"}));
}

TEST(PresetStoreFile, LoadsWholeRecordsInFileOrder) {
    FakeFileSystem fs;
    fs.files[kStore] = StoreFile(3, {"one", "two", "three"});
    OwnedPresetStore store;
    AddPreset(store, Named("stale"));
    EXPECT_TRUE(LoadStore(store, kStore, fs));
    EXPECT_EQ(PresetNames(store), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(EncodePreset(*PresetAt(store, 1)), EncodePreset(Named("two")));
}

TEST(PresetStoreFile, ShortFilesYieldTheWholeRecordsOnly) {
    struct Case {
        Bytes file;
        size_t records;
    };
    const Case cases[] = {
        {StoreFile(5, {"a", "b"}, 114), 2},   // count says five, two and a half present
        {StoreFile(1, {"a"}, 227), 1},        // trailing bytes after the count are ignored
        {StoreFile(0, {"a", "b"}), 0},        // count zero
        {StoreFile(-3, {"a"}), 0},            // negative count
        {StoreFile(INT32_MAX, {"a"}), 1},     // absurd count: the end of the file ends it
        {Bytes{1, 0}, 0},                     // count itself cut short
        {Bytes{}, 0},                         // empty file
    };
    for (const Case& c : cases) {
        FakeFileSystem fs;
        fs.files[kStore] = c.file;
        OwnedPresetStore store;
        EXPECT_TRUE(LoadStore(store, kStore, fs));
        EXPECT_EQ(store.Count(), static_cast<int32_t>(c.records)) << c.file.size();
        EXPECT_EQ(store.Capacity(), 256);
        EXPECT_EQ(fs.files[kStore], c.file);  // loading never writes
    }
}

TEST(PresetStoreFile, MissingFileLeavesTheStoreAsItWas) {
    FakeFileSystem fs;
    OwnedPresetStore store;
    AddPreset(store, Named("kept"));
    EXPECT_FALSE(LoadStore(store, kStore, fs));
    EXPECT_FALSE(LoadStore(store, "", fs));
    EXPECT_EQ(PresetNames(store), std::vector<std::string>{"kept"});
}

TEST(PresetStoreFile, ReadOnlyStoreStillLoads) {
    FakeFileSystem fs;
    fs.files[kStore] = StoreFile(1, {"old"});
    fs.readOnlyFiles.insert(kStore);
    OwnedPresetStore store;
    EXPECT_TRUE(LoadStore(store, kStore, fs));
    EXPECT_EQ(store.Count(), 1);
}

TEST(PresetStoreFile, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
    OwnedPresetStore store;
    AddPreset(store, Named("new"));
    const Bytes old = StoreFile(2, {"x", "y"});
    for (int step = 0; step < 4; ++step) {
        FakeFileSystem fs;
        fs.files[kStore] = old;
        if (step == 0) fs.failCreate = true;
        if (step == 1) fs.writeLimit = 100;  // the write stops halfway
        if (step == 2) fs.failClose = true;  // the flush fails
        if (step == 3) fs.failReplace = true;
        EXPECT_FALSE(SaveStore(store, kStore, fs)) << step;
        EXPECT_EQ(fs.files[kStore], old) << step;
        EXPECT_EQ(fs.files.size(), 1u) << step;
    }
    FakeFileSystem fs;
    EXPECT_FALSE(SaveStore(store, "", fs));
    EXPECT_TRUE(fs.files.empty());
}

TEST(PresetFile, ExportWritesOneRecordAndImportAppendsIt) {
    FakeFileSystem fs;
    OwnedPresetStore store;
    AddPreset(store, Named("first"));
    AddPreset(store, Named("ring", 2));
    fs.files[kPreset] = Bytes(500, 0xEE);  // an existing file is replaced
    ASSERT_TRUE(WritePresetFile(store, 1, kPreset, fs));
    const PresetBytes expected = EncodePreset(*PresetAt(store, 1));
    EXPECT_EQ(fs.files[kPreset], Bytes(expected.begin(), expected.end()));

    EXPECT_TRUE(ReadPresetFile(store, kPreset, fs));
    ASSERT_EQ(store.Count(), 3);
    EXPECT_EQ(EncodePreset(*PresetAt(store, 2)), expected);
}

TEST(PresetFile, ExportOfAnInvalidPositionWritesNothing) {
    FakeFileSystem fs;
    OwnedPresetStore store;
    EXPECT_FALSE(WritePresetFile(store, 0, kPreset, fs));
    AddPreset(store, Named("only"));
    EXPECT_FALSE(WritePresetFile(store, 1, kPreset, fs));
    EXPECT_FALSE(WritePresetFile(store, -1, kPreset, fs));
    EXPECT_TRUE(fs.files.empty());
}

TEST(PresetFile, ImportTakesTheFirst228BytesOfAWholeRecordOnly) {
    Bytes longer = Record("long");
    longer.push_back(0x55);
    Bytes shorter = Record("short");
    shorter.pop_back();
    FakeFileSystem fs;
    fs.files["229.pre"] = longer;
    fs.files["227.pre"] = shorter;
    fs.files["empty.pre"] = Bytes();
    fs.files["readonly.pre"] = Record("ro");
    fs.readOnlyFiles.insert("readonly.pre");
    OwnedPresetStore store;
    EXPECT_TRUE(ReadPresetFile(store, "229.pre", fs));
    EXPECT_TRUE(ReadPresetFile(store, "227.pre", fs));
    EXPECT_TRUE(ReadPresetFile(store, "empty.pre", fs));
    EXPECT_TRUE(ReadPresetFile(store, "readonly.pre", fs));  // reading needs no write access
    EXPECT_FALSE(ReadPresetFile(store, "missing.pre", fs));
    EXPECT_EQ(PresetNames(store), (std::vector<std::string>{"long", "ro"}));
}

// The real files of the machine: under Wine this is the Windows C runtime and the
// MinGW file system library.
class PresetStoreOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() / ("tindlbrg-" + std::string(info->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    std::string Path(const char* name) const { return (folder_ / name).string(); }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder_)) names.push_back(e.path().filename().string());
        return names;
    }

    std::filesystem::path folder_;
};

TEST_F(PresetStoreOnDisk, SaveReplacesAnExistingStore) {
    OwnedPresetStore store;
    AddPreset(store, Named("first"));
    const std::string path = Path("tindlbrg.cfg");
    ASSERT_TRUE(SaveStore(store, path));
    AddPreset(store, Named("second"));
    ASSERT_TRUE(SaveStore(store, path));
    EXPECT_EQ(std::filesystem::file_size(path), 4u + 2 * 228u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"tindlbrg.cfg"});

    OwnedPresetStore loaded;
    ASSERT_TRUE(LoadStore(loaded, path));
    EXPECT_EQ(PresetNames(loaded), (std::vector<std::string>{"first", "second"}));
}

TEST_F(PresetStoreOnDisk, ExportReplacesAnExistingFileAndImportReadsIt) {
    const std::string path = Path("ring.pre");
    std::FILE* old = std::fopen(path.c_str(), "wb");
    ASSERT_NE(old, nullptr);
    std::fputs(std::string(1000, 'o').c_str(), old);
    std::fclose(old);

    OwnedPresetStore store;
    AddPreset(store, Named("ring", 2));
    ASSERT_TRUE(WritePresetFile(store, 0, path));
    EXPECT_EQ(std::filesystem::file_size(path), 228u);
    ASSERT_TRUE(ReadPresetFile(store, path));
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(EncodePreset(*PresetAt(store, 1)), EncodePreset(*PresetAt(store, 0)));
}

TEST_F(PresetStoreOnDisk, FolderThatDoesNotExistFailsCleanly) {
    OwnedPresetStore store;
    const std::string path = Path("missing") + "/tindlbrg.cfg";
    EXPECT_FALSE(SaveStore(store, path));
    EXPECT_FALSE(LoadStore(store, path));
    EXPECT_FALSE(ReadPresetFile(store, path));
    EXPECT_TRUE(Entries().empty());
}

}  // namespace
