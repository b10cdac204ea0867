// Helpers of the fuzz harnesses: hand an input to readers that take a file path, and keep the readers' report
// lines on standard output out of the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// An anonymous in-memory file holding the input, reachable by path while the object lives.
class InputFile {
public:
    InputFile(const std::uint8_t* data, std::size_t size);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

// Sends standard output to /dev/null for the rest of the process; sanitizer reports go to standard error.
void silenceStandardOutput();

}  // namespace fuzzing
