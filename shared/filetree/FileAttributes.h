// The attributes of one file-system entry as the file manager reports them: a dictionary from the attribute's key
// (the names below) to a number, a moment or a text.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

using FileAttributeValue = std::variant<std::int64_t, std::chrono::system_clock::time_point, std::string>;
using FileAttributes = std::map<std::string, FileAttributeValue, std::less<>>;

inline constexpr std::string_view kNSFileType = "NSFileType";
inline constexpr std::string_view kNSFileSize = "NSFileSize";
inline constexpr std::string_view kNSFileModificationDate = "NSFileModificationDate";
inline constexpr std::string_view kNSFileCreationDate = "NSFileCreationDate";
inline constexpr std::string_view kNSFileSystemNumber = "NSFileSystemNumber";
inline constexpr std::string_view kNSFileSystemFileNumber = "NSFileSystemFileNumber";
inline constexpr std::string_view kNSFilePosixPermissions = "NSFilePosixPermissions";
inline constexpr std::string_view kNSFileReferenceCount = "NSFileReferenceCount";
inline constexpr std::string_view kNSFileOwnerAccountID = "NSFileOwnerAccountID";
inline constexpr std::string_view kNSFileGroupOwnerAccountID = "NSFileGroupOwnerAccountID";

// The attributes of the entry at path itself (a symbolic link is described, not followed): its type
// ("NSFileTypeDirectory", "NSFileTypeRegular", "NSFileTypeSymbolicLink", ...), size in bytes, modification and
// creation dates (the creation date is the modification date where the file system keeps no birth time), the
// numbers of its file system and of the entry in it, its permission bits, link count, owner and group. nullopt and a
// description in error when the entry cannot be read. Any thread except the render thread.
std::optional<FileAttributes> readFileAttributes(const std::filesystem::path& path, std::string& error);

// The attribute as "key: value" for diagnostics.
std::string describeFileAttribute(std::string_view key, const FileAttributeValue& value);
