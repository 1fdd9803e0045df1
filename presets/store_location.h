// Where the preset store file lives. It used to sit in the Windows directory, which a
// user without administrator rights cannot write; it now lives in the user's own
// folder, and an old store in the Windows directory is still read until the first save
// has put one there.
#pragma once

#include <string>

#include "presets/file_system.h"
#include "presets/preset_store.h"

constexpr char kStoreFileName[] = "tindlbrg.cfg";

struct StoreFolders {
    std::string windowsDir;  // the system's Windows directory
    std::string userFolder;  // <AppData>\Pellucid Works\<program name>; may be empty
    char separator = '\\';
};

// `folder` followed by the separator and "tindlbrg.cfg"; empty for an empty folder.
std::string StoreFileIn(const std::string& folder, char separator);

// The user's store if there is one, else the Windows directory's, else empty (nothing
// to load). Changes nothing on disk: modes that only show the animation write nothing.
std::string StoreLoadPath(const StoreFolders& folders, FileSystem& fs);

// Saves the store where the next start will load it from: the user's file when it
// exists; else the Windows directory's, and when that cannot be written (as for a normal
// user on current Windows), the user's, creating its folders. True when a file was written.
bool SaveStoreFile(const PresetStore& store, const StoreFolders& folders, FileSystem& fs);
