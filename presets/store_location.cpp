#include "presets/store_location.h"

std::string StoreFileIn(const std::string& folder, char separator) {
    if (folder.empty()) return std::string();
    std::string path = folder;
    if (path.back() != separator) path += separator;
    return path + kStoreFileName;
}

std::string StoreLoadPath(const StoreFolders& folders, FileSystem& fs) {
    for (const std::string* folder : {&folders.userFolder, &folders.windowsDir}) {
        const std::string path = StoreFileIn(*folder, folders.separator);
        if (!path.empty() && fs.Exists(path)) return path;
    }
    return std::string();
}

std::string StoreSavePath(const StoreFolders& folders, FileSystem& fs) {
    const std::string userStore = StoreFileIn(folders.userFolder, folders.separator);
    if (!userStore.empty()) {
        if (fs.CreateFolders(folders.userFolder) && fs.CanWriteIn(folders.userFolder)) return userStore;
        // Saving elsewhere would leave this store in front of the new one at next load.
        if (fs.Exists(userStore)) return std::string();
    }
    if (!folders.windowsDir.empty() && fs.CanWriteIn(folders.windowsDir))
        return StoreFileIn(folders.windowsDir, folders.separator);
    return std::string();
}
