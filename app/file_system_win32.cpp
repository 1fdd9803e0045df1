#include "app/file_system_win32.h"

#include <windows.h>

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool Win32FileSystem::Exists(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::CreateFolders(const std::string& folder) {
    if (folder.empty()) return false;
    // Each parent in turn, past the root: "X:\" or "\\server\share\" (a bare "C:" would be the
    // drive's current folder). Those that exist just fail.
    const char* const separators = "\\/";
    size_t from = 1;
    if (folder.size() > 2 && folder[1] == ':') from = 3;
    if (folder.compare(0, 2, "\\\\") == 0) {
        const size_t server = folder.find_first_of(separators, 2);
        const size_t share = server == std::string::npos ? server : folder.find_first_of(separators, server + 1);
        from = share == std::string::npos ? folder.size() : share + 1;
    }
    for (size_t at = folder.find_first_of(separators, from); at != std::string::npos;
         at = folder.find_first_of(separators, at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return IsFolder(folder);
}

// The C library's files already take ANSI names.
std::unique_ptr<FileSystem::File> Win32FileSystem::Open(const std::string& path) {
    return StandardFileSystem().Open(path);
}

std::unique_ptr<FileSystem::File> Win32FileSystem::Create(const std::string& path) {
    return StandardFileSystem().Create(path);
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void Win32FileSystem::Remove(const std::string& path) { DeleteFileA(path.c_str()); }
