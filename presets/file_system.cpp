#include "presets/file_system.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fsys = std::filesystem;

namespace {

// Beside the target, so that the replacement stays within one volume.
constexpr char kTemporarySuffix[] = ".tmp";

class StdFile final : public FileSystem::File {
public:
    explicit StdFile(std::FILE* file) : file_(file) {}
    ~StdFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    StdFile(const StdFile&) = delete;
    StdFile& operator=(const StdFile&) = delete;

    size_t Read(void* buffer, size_t size) override {
        return file_ != nullptr ? std::fread(buffer, 1, size, file_) : 0;
    }
    bool ReadFailed() const override { return file_ == nullptr || std::ferror(file_) != 0; }
    bool Write(const void* data, size_t size) override {
        return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
    }
    bool Close() override {
        if (file_ == nullptr) return false;
        const bool flushed = std::fflush(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return flushed && closed;
    }

private:
    std::FILE* file_;
};

std::unique_ptr<FileSystem::File> Wrap(std::FILE* file) {
    if (file == nullptr) return nullptr;
    return std::make_unique<StdFile>(file);
}

class StdFileSystem final : public FileSystem {
public:
    bool Exists(const std::string& path) override {
        std::error_code ec;
        return !path.empty() && fsys::is_regular_file(fsys::path(path), ec);
    }
    bool CreateFolders(const std::string& folder) override {
        if (folder.empty()) return false;
        std::error_code ec;
        fsys::create_directories(fsys::path(folder), ec);
        return fsys::is_directory(fsys::path(folder), ec);
    }
    std::unique_ptr<File> Open(const std::string& path) override {
        return Wrap(std::fopen(path.c_str(), "rb"));
    }
    std::unique_ptr<File> Create(const std::string& path) override {
        return Wrap(std::fopen(path.c_str(), "wb"));
    }
    bool Replace(const std::string& from, const std::string& to) override {
        // POSIX rename replaces atomically; MinGW's libstdc++ uses MoveFileExW with
        // MOVEFILE_REPLACE_EXISTING, where std::rename would refuse an existing target.
        std::error_code ec;
        fsys::rename(fsys::path(from), fsys::path(to), ec);
        return !ec;
    }
    void Remove(const std::string& path) override { std::remove(path.c_str()); }
};

}  // namespace

FileSystem& StandardFileSystem() {
    static StdFileSystem instance;
    return instance;
}

namespace {
FileSystem* chosen = nullptr;
}  // namespace

FileSystem& DefaultFileSystem() { return chosen != nullptr ? *chosen : StandardFileSystem(); }

void UseFileSystem(FileSystem& fs) { chosen = &fs; }

bool WriteFileSafely(FileSystem& fs, const std::string& path, const void* data, size_t size) {
    if (path.empty()) return false;
    const std::string temporary = path + kTemporarySuffix;
    std::unique_ptr<FileSystem::File> file = fs.Create(temporary);
    if (!file) return false;
    const bool written = file->Write(data, size);
    const bool closed = file->Close();
    if (written && closed && fs.Replace(temporary, path)) return true;
    fs.Remove(temporary);
    return false;
}
