#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "preset_test_fs.h"
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

TEST(StoreLocation, SavesInTheUserFolderCreatingIt) {
    FakeFileSystem fs;
    fs.folders.insert(kWindows);
    fs.files[kLegacyStore] = {0, 0, 0, 0};
    EXPECT_EQ(StoreSavePath(Folders(), fs), kUserStore);
    EXPECT_EQ(fs.createdFolders, std::vector<std::string>{kUser});
    EXPECT_EQ(fs.files.count(kLegacyStore), 1u);  // the old store is left alone
}

TEST(StoreLocation, FallsBackToTheWindowsDirectoryOnlyWhenNoUserStoreCouldShadowIt) {
    FakeFileSystem fs;
    fs.folders.insert(kWindows);
    fs.failCreateFolders = true;
    EXPECT_EQ(StoreSavePath(Folders(), fs), kLegacyStore);
    EXPECT_EQ(StoreSavePath(StoreFolders{kWindows, "", '\\'}, fs), kLegacyStore);

    fs.failCreateFolders = false;
    fs.folders.insert(kUser);
    fs.unwritableFolders.insert(kUser);
    EXPECT_EQ(StoreSavePath(Folders(), fs), kLegacyStore);
    fs.files[kUserStore] = {0, 0, 0, 0};
    EXPECT_EQ(StoreSavePath(Folders(), fs), "");

    fs.unwritableFolders.insert(kWindows);
    fs.files.clear();
    EXPECT_EQ(StoreSavePath(Folders(), fs), "");
    EXPECT_EQ(StoreSavePath(StoreFolders{}, fs), "");
}

TEST(StoreLocation, DefaultFileSystemCreatesAndProbesRealFolders) {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "tindlbrg-location";
    std::filesystem::remove_all(base);
    const StoreFolders folders{"", (base / "Pellucid Works" / "tindlbrg").string(), '/'};
    FileSystem& fs = DefaultFileSystem();
    EXPECT_FALSE(fs.CanWriteIn(folders.userFolder));
    EXPECT_EQ(StoreLoadPath(folders, fs), "");
    EXPECT_FALSE(std::filesystem::exists(base));

    const std::string save = StoreSavePath(folders, fs);
    EXPECT_EQ(save, folders.userFolder + "/tindlbrg.cfg");
    EXPECT_TRUE(std::filesystem::is_directory(folders.userFolder));
    EXPECT_TRUE(std::filesystem::is_empty(folders.userFolder));  // the probe is gone
    EXPECT_FALSE(fs.Exists(save));

    const char content[] = "abcd";
    ASSERT_TRUE(WriteFileSafely(fs, save, content, 4));
    EXPECT_EQ(StoreLoadPath(folders, fs), save);
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
}

}  // namespace
