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

bool SaveStoreFile(const PresetStore& store, const StoreFolders& folders, FileSystem& fs) {
    const std::string userStore = StoreFileIn(folders.userFolder, folders.separator);
    // An existing user store is the one loaded next time: saving anywhere else would hide.
    if (!userStore.empty() && fs.Exists(userStore)) return SaveStore(store, userStore, fs);
    const std::string windowsStore = StoreFileIn(folders.windowsDir, folders.separator);
    if (!windowsStore.empty() && SaveStore(store, windowsStore, fs)) return true;
    if (userStore.empty() || !fs.CreateFolders(folders.userFolder)) return false;
    return SaveStore(store, userStore, fs);
}
