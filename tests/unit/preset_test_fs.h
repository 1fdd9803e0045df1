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
    std::set<std::string> folders;
    std::set<std::string> unwritableFolders;
    std::set<std::string> readOnlyFiles;
    // Bytes a newly created file accepts before its writes fail.
    size_t writeLimit = std::numeric_limits<size_t>::max();
    bool failCreate = false;
    bool failClose = false;
    bool failReplace = false;
    bool failCreateFolders = false;
    std::vector<std::string> createdFolders;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool CreateFolders(const std::string& folder) override {
        if (folders.count(folder) != 0) return true;
        if (failCreateFolders) return false;
        folders.insert(folder);
        createdFolders.push_back(folder);
        return true;
    }
    std::unique_ptr<File> Open(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<FakeFile>(it->second, std::numeric_limits<size_t>::max(), false);
    }
    std::unique_ptr<File> Create(const std::string& path) override {
        if (failCreate || unwritableFolders.count(FolderOf(path)) != 0) return nullptr;
        Bytes& bytes = files[path];
        bytes.clear();
        return std::make_unique<FakeFile>(bytes, writeLimit, failClose);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        if (failReplace || files.count(from) == 0 || readOnlyFiles.count(to) != 0) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { files.erase(path); }

    static std::string FolderOf(const std::string& path) {
        const size_t end = path.find_last_of("\\/");
        return end == std::string::npos ? std::string() : path.substr(0, end);
    }

private:
    class FakeFile : public File {
    public:
        FakeFile(Bytes& bytes, size_t limit, bool failClose)
            : bytes_(bytes), limit_(limit), failClose_(failClose) {}
        size_t Read(void* buffer, size_t size) override {
            const size_t n = std::min(size, bytes_.size() - at_);
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), n, static_cast<uint8_t*>(buffer));
            at_ += n;
            return n;
        }
        bool Write(const void* data, size_t size) override {
            const size_t room = limit_ - std::min(limit_, bytes_.size());
            const auto* p = static_cast<const uint8_t*>(data);
            bytes_.insert(bytes_.end(), p, p + std::min(size, room));
            return size <= room;
        }
        bool Close() override { return !failClose_; }

    private:
        Bytes& bytes_;
        size_t at_ = 0;
        size_t limit_;
        bool failClose_;
    };
};
