// The store's file operations through the system's ANSI calls: the C library's files
// use the ANSI code page, while <filesystem> would read the same bytes as another
// character set, so with a user name outside Latin-1 the folders it made and the files
// fopen opened would not be the same.
#pragma once

#include "presets/file_system.h"

class Win32FileSystem final : public FileSystem {
public:
    bool Exists(const std::string& path) override;
    bool CreateFolders(const std::string& folder) override;
    std::unique_ptr<File> Open(const std::string& path) override;
    std::unique_ptr<File> Create(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
};
