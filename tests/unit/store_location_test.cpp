#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "preset_test_fs.h"
#include "presets/preset_holder.h"
#include "presets/store_location.h"

namespace {

const char kWindows[] = "C:\\WINDOWS";
const char kUser[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg";
const char kLegacyStore[] = "C:\\WINDOWS\\tindlbrg.cfg";
const char kUserStore[] = "C:\\Users\\u\\AppData\\Roaming\\Pellucid Works\\tindlbrg\\tindlbrg.cfg";

StoreFolders Folders() { return StoreFolders{kWindows, kUser, '\\'}; }

TEST(StoreLocation, FileNameIsAppendedWithOneSeparator) {
    EXPECT_EQ(StoreFileIn(kWindows, '\\'), kLegacyStore);
    EXPECT_EQ(StoreFileIn("C:\\", '\\'), "C:\\tindlbrg.cfg");
    EXPECT_EQ(StoreFileIn("/home/u", '/'), "/home/u/tindlbrg.cfg");
    EXPECT_EQ(StoreFileIn("", '\\'), "");
}

TEST(StoreLocation, LoadsTheUserStoreElseTheOldOneElseNothing) {
    FakeFileSystem fs;
    EXPECT_EQ(StoreLoadPath(Folders(), fs), "");
    fs.files[kLegacyStore] = {0, 0, 0, 0};
    EXPECT_EQ(StoreLoadPath(Folders(), fs), kLegacyStore);
    fs.files[kUserStore] = {0, 0, 0, 0};
    EXPECT_EQ(StoreLoadPath(Folders(), fs), kUserStore);
    EXPECT_EQ(StoreLoadPath(StoreFolders{kWindows, "", '\\'}, fs), kLegacyStore);
    EXPECT_TRUE(fs.createdFolders.empty());  // choosing what to load writes nothing
}

// A store of one preset, to tell saved files apart.
const PresetStore& OnePreset() {
    static OwnedPresetStore store;
    if (store.Count() == 0) AddPreset(store, MakePresetFromSettings("saved", SaverSettings{}));
    return store;
}

TEST(StoreLocation, SavesTheUserStoreWhenItExists) {
    FakeFileSystem fs;
    fs.folders = {kWindows, kUser};
    fs.files[kLegacyStore] = {0, 0, 0, 0};
    fs.files[kUserStore] = {0, 0, 0, 0};
    EXPECT_TRUE(SaveStoreFile(OnePreset(), Folders(), fs));
    EXPECT_EQ(fs.files[kUserStore].size(), 4u + 228u);
    EXPECT_EQ(fs.files[kLegacyStore].size(), 4u);  // the old store is left alone

    fs.unwritableFolders.insert(kUser);  // ...and is never written in its place
    EXPECT_FALSE(SaveStoreFile(OnePreset(), Folders(), fs));
    EXPECT_EQ(fs.files[kLegacyStore].size(), 4u);
}

TEST(StoreLocation, SavesInTheWindowsDirectoryWhenItCanBeWritten) {
    for (bool legacyExists : {false, true}) {
        FakeFileSystem fs;
        fs.folders = {kWindows};
        if (legacyExists) fs.files[kLegacyStore] = {0, 0, 0, 0};
        EXPECT_TRUE(SaveStoreFile(OnePreset(), Folders(), fs));
        EXPECT_EQ(fs.files[kLegacyStore].size(), 4u + 228u);
        EXPECT_EQ(fs.files.count(kUserStore), 0u);
        EXPECT_TRUE(fs.createdFolders.empty());
        EXPECT_EQ(StoreLoadPath(Folders(), fs), kLegacyStore);  // where the next start looks
    }
}

TEST(StoreLocation, FallsBackToTheUserFolderWhenTheWindowsDirectoryRefuses) {
    FakeFileSystem fs;  // a normal user: the Windows directory is not writable
    fs.folders = {kWindows};
    fs.unwritableFolders.insert(kWindows);
    fs.files[kLegacyStore] = {0, 0, 0, 0};
    EXPECT_TRUE(SaveStoreFile(OnePreset(), Folders(), fs));
    EXPECT_EQ(fs.createdFolders, std::vector<std::string>{kUser});
    EXPECT_EQ(fs.files[kUserStore].size(), 4u + 228u);
    EXPECT_EQ(fs.files[kLegacyStore].size(), 4u);
    EXPECT_EQ(StoreLoadPath(Folders(), fs), kUserStore);

    FakeFileSystem readOnly;  // a writable folder but a read-only old store
    readOnly.folders = {kWindows};
    readOnly.files[kLegacyStore] = {0, 0, 0, 0};
    readOnly.readOnlyFiles.insert(kLegacyStore);
    EXPECT_TRUE(SaveStoreFile(OnePreset(), Folders(), readOnly));
    EXPECT_EQ(readOnly.files[kUserStore].size(), 4u + 228u);
    EXPECT_EQ(readOnly.files[kLegacyStore].size(), 4u);
}

TEST(StoreLocation, ReportsFailureWhenNothingCanBeWritten) {
    FakeFileSystem fs;
    fs.folders = {kWindows};
    fs.unwritableFolders.insert(kWindows);
    fs.failCreateFolders = true;
    fs.files[kLegacyStore] = {9, 9, 9, 9};
    EXPECT_FALSE(SaveStoreFile(OnePreset(), Folders(), fs));
    EXPECT_EQ(fs.files[kLegacyStore], (FakeFileSystem::Bytes{9, 9, 9, 9}));
    EXPECT_FALSE(SaveStoreFile(OnePreset(), StoreFolders{kWindows, "", '\\'}, fs));
    EXPECT_FALSE(SaveStoreFile(OnePreset(), StoreFolders{}, fs));
}

TEST(StoreLocation, RealFoldersAreCreatedForTheUserStore) {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "tindlbrg-location";
    std::filesystem::remove_all(base);
    const StoreFolders folders{"", (base / "Pellucid Works" / "tindlbrg").string(), '/'};
    FileSystem& fs = DefaultFileSystem();
    EXPECT_EQ(StoreLoadPath(folders, fs), "");
    EXPECT_FALSE(std::filesystem::exists(base));  // choosing what to load writes nothing

    EXPECT_TRUE(SaveStoreFile(OnePreset(), folders, fs));
    const std::string saved = folders.userFolder + "/tindlbrg.cfg";
    EXPECT_EQ(std::filesystem::file_size(saved), 4u + 228u);
    EXPECT_EQ(StoreLoadPath(folders, fs), saved);
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
}

}  // namespace
