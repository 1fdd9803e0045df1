// A file system in memory whose every step can be made to fail.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "presets/file_system.h"

class FakeFileSystem : public FileSystem {
public:
    using Bytes = std::vector<uint8_t>;

    std::map<std::string, Bytes> files;
    std::set<std::string> folders, unwritableFolders, readOnlyFiles, createdFolders;
    size_t writeLimit = std::numeric_limits<size_t>::max();  // bytes a new file takes before its writes fail
    size_t readLimit = std::numeric_limits<size_t>::max();   // bytes read before reads fail, as at a locked range
    bool failClose = false, failReplace = false, failCreateFolders = false;
    // Every step that can fail (making folders or a file, each write, close, replacement)
    // is counted; step `failAt` and every later one fail, as on a disk that fills up. A
    // failing write stores half of its bytes first.
    int failAt = std::numeric_limits<int>::max(), steps = 0;

    bool Fails() { return steps++ >= failAt; }
    bool HasTemporary() const {
        return std::any_of(files.begin(), files.end(), [](const auto& f) {
            return f.first.size() > 4 && f.first.compare(f.first.size() - 4, 4, ".tmp") == 0;
        });
    }
    static std::string FolderOf(const std::string& path) {
        const size_t end = path.find_last_of("\\/");
        return end == std::string::npos ? std::string() : path.substr(0, end);
    }

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool CreateFolders(const std::string& folder) override {
        const bool fails = Fails();
        if (folders.count(folder) != 0) return true;
        if (fails || failCreateFolders) return false;
        folders.insert(folder);
        createdFolders.insert(folder);
        return true;
    }
    std::unique_ptr<File> Open(const std::string& path) override {
        auto it = files.find(path);
        return it == files.end() ? nullptr : std::make_unique<FakeFile>(*this, it->second, false);
    }
    std::unique_ptr<File> Create(const std::string& path) override {
        if (Fails() || unwritableFolders.count(FolderOf(path)) != 0) return nullptr;
        files[path].clear();
        return std::make_unique<FakeFile>(*this, files[path], true);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (Fails() || failReplace || files.count(from) == 0 || readOnlyFiles.count(to) != 0) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }

private:
    class FakeFile : public File {
    public:
        FakeFile(FakeFileSystem& fs, Bytes& bytes, bool written) : fs_(fs), bytes_(bytes), written_(written) {}
        size_t Read(void* buffer, size_t size) override {
            const size_t readable = std::max(std::min(bytes_.size(), fs_.readLimit), at_) - at_;
            failed_ = failed_ || (size > readable && readable < bytes_.size() - at_);
            const size_t n = std::min(size, readable);
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), n, static_cast<uint8_t*>(buffer));
            at_ += n;
            return n;
        }
        bool Write(const void* data, size_t size) override {
            const bool fails = fs_.Fails();
            const size_t room = fs_.writeLimit - std::min(fs_.writeLimit, bytes_.size());
            const size_t n = std::min(fails ? size / 2 : size, room);
            bytes_.insert(bytes_.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n);
            return !fails && size <= room;
        }
        bool ReadFailed() const override { return failed_; }
        bool Close() override { return !written_ || (!fs_.failClose && !fs_.Fails()); }

    private:
        FakeFileSystem& fs_;
        Bytes& bytes_;
        size_t at_ = 0;
        bool written_, failed_ = false;
    };
};
