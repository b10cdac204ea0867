#include "Orvo_Tunedeck/app/UserFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace {

// Opens file for reading; false with the reason in error.
bool openForReading(const std::filesystem::path& file, std::ifstream& in, std::string& error) {
    std::error_code status;
    if (std::filesystem::is_directory(file, status)) {
        error = "'" + file.string() + "' is a folder, not a file";
        return false;
    }
    errno = 0;
    in.open(file, std::ios::binary);
    if (!in) {
        error = "cannot open '" + file.string() + "': " + std::strerror(errno != 0 ? errno : ENOENT);
        return false;
    }
    return true;
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, std::uint64_t byteLimit, std::vector<uint8_t>& bytes,
                   std::string& error) {
    std::ifstream in;
    if (!openForReading(file, in, error)) return false;
    const auto tooLarge = [&] {
        error = "'" + file.string() + "' is larger than " + std::to_string(byteLimit) + " bytes";
        return false;
    };
    std::error_code status;
    const std::uintmax_t size = std::filesystem::file_size(file, status);
    if (!status && size > byteLimit) return tooLarge();
    bytes.clear();
    char buffer[65536];
    try {
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            const auto count = static_cast<std::size_t>(in.gcount());
            if (bytes.size() + count > byteLimit) return tooLarge();
            bytes.insert(bytes.end(), buffer, buffer + count);
        }
    } catch (const std::ios_base::failure&) {
        // The file buffer throws on a failing read whatever the stream's exception mask.
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        error = "cannot read '" + file.string() + "'";
        return false;
    }
    if (bytes.empty()) {
        error = "'" + file.string() + "' is empty";
        return false;
    }
    return true;
}

bool checkReadableFile(const std::filesystem::path& file, std::string& error) {
    std::ifstream in;
    if (!openForReading(file, in, error)) return false;
    if (in.peek() == std::ifstream::traits_type::eof()) {
        error = "'" + file.string() + "' is empty";
        return false;
    }
    return true;
}
