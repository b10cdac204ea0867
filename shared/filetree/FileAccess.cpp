#include "shared/filetree/FileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool allows(const std::filesystem::path& path, int mode) {
    return ::access(path.c_str(), mode) == 0;
}

}  // namespace

bool isReadableFile(const std::filesystem::path& path) { return allows(path, R_OK); }
bool isWritableFile(const std::filesystem::path& path) { return allows(path, W_OK); }
bool isExecutableFile(const std::filesystem::path& path) { return allows(path, X_OK); }

bool isDeletableFile(const std::filesystem::path& path) {
    struct stat entry{};
    if (::lstat(path.c_str(), &entry) != 0) return false;
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    struct stat folderInfo{};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !allows(folder, W_OK | X_OK)) return false;
    if ((folderInfo.st_mode & S_ISVTX) == 0) return true;
    const uid_t user = ::geteuid();
    return user == 0 || user == entry.st_uid || user == folderInfo.st_uid;
}
