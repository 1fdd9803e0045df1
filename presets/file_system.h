// The few file operations the store and the preset files need, behind a seam so that
// tests can make any of them fail and the Windows build can supply its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class FileSystem {
public:
    class File {
    public:
        virtual ~File() = default;
        // Up to `size` bytes; fewer only at the end of the file or on an error.
        virtual size_t Read(void* buffer, size_t size) = 0;
        // True once a read came short by an error rather than by the end of the file.
        virtual bool ReadFailed() const = 0;
        virtual bool Write(const void* data, size_t size) = 0;
        // Flushes and closes. False when what was written may not all be in the file.
        virtual bool Close() = 0;
    };

    virtual ~FileSystem() = default;

    virtual bool Exists(const std::string& path) = 0;
    // Creates the folder and any missing parents; true when the folder exists afterwards.
    virtual bool CreateFolders(const std::string& folder) = 0;
    // An existing file, for reading only: reading never needs more, and read-only files
    // (an old store, a preset from a CD) must load. Null when it cannot be opened.
    virtual std::unique_ptr<File> Open(const std::string& path) = 0;
    // A new empty file in place of any old one. Null when it cannot be created.
    virtual std::unique_ptr<File> Create(const std::string& path) = 0;
    // Moves `from` over `to` in one step: afterwards `to` is either the old file or the
    // new one, never missing or partial.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& path) = 0;
};

// Standard C++ only: <cstdio> files, <filesystem> folders and replacement.
FileSystem& StandardFileSystem();
// The file system the program works on: the one given to UseFileSystem, else the
// standard one.
FileSystem& DefaultFileSystem();
// Makes `fs`, which must outlive its use, the default from now on.
void UseFileSystem(FileSystem& fs);

// Writes the whole content beside `path` and then replaces `path` with it, so a failure
// at any step (creation, a short write, the flush, the replacement) leaves the old file
// as it was. False on any failure; no temporary file is left behind.
bool WriteFileSafely(FileSystem& fs, const std::string& path, const void* data, size_t size);
