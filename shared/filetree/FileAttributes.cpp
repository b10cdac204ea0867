#include "shared/filetree/FileAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>

#include "platform/foundation/DateText.h"

namespace {

std::string fileTypeName(std::uint16_t mode) {
    switch (mode & S_IFMT) {
        case S_IFDIR: return "NSFileTypeDirectory";
        case S_IFREG: return "NSFileTypeRegular";
        case S_IFLNK: return "NSFileTypeSymbolicLink";
        case S_IFSOCK: return "NSFileTypeSocket";
        case S_IFCHR: return "NSFileTypeCharacterSpecial";
        case S_IFBLK: return "NSFileTypeBlockSpecial";
        default: return "NSFileTypeUnknown";
    }
}

std::chrono::system_clock::time_point toTimePoint(const struct statx_timestamp& stamp) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::seconds(stamp.tv_sec) +
                                                                        std::chrono::nanoseconds(stamp.tv_nsec)));
}

}  // namespace

std::optional<FileAttributes> readFileAttributes(const std::filesystem::path& path, std::string& error) {
    struct statx info{};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
        error = "The file '" + path.string() + "' couldn't be read: " + std::strerror(errno);
        return std::nullopt;
    }
    const auto modified = toTimePoint(info.stx_mtime);
    FileAttributes attributes;
    attributes.emplace(kNSFileType, fileTypeName(info.stx_mode));
    attributes.emplace(kNSFileSize, static_cast<std::int64_t>(info.stx_size));
    attributes.emplace(kNSFileModificationDate, modified);
    attributes.emplace(kNSFileCreationDate, (info.stx_mask & STATX_BTIME) != 0 ? toTimePoint(info.stx_btime) : modified);
    attributes.emplace(kNSFileSystemNumber, static_cast<std::int64_t>(makedev(info.stx_dev_major, info.stx_dev_minor)));
    attributes.emplace(kNSFileSystemFileNumber, static_cast<std::int64_t>(info.stx_ino));
    attributes.emplace(kNSFilePosixPermissions, static_cast<std::int64_t>(info.stx_mode & 07777));
    attributes.emplace(kNSFileReferenceCount, static_cast<std::int64_t>(info.stx_nlink));
    attributes.emplace(kNSFileOwnerAccountID, static_cast<std::int64_t>(info.stx_uid));
    attributes.emplace(kNSFileGroupOwnerAccountID, static_cast<std::int64_t>(info.stx_gid));
    return attributes;
}

std::string describeFileAttribute(std::string_view key, const FileAttributeValue& value) {
    std::string text(key);
    text += ": ";
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        text += std::to_string(*number);
    } else if (const auto* moment = std::get_if<std::chrono::system_clock::time_point>(&value)) {
        text += foundation::mediumDateTimeText(*moment);
    } else {
        text += std::get<std::string>(value);
    }
    return text;
}
