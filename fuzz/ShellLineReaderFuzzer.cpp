// The command shell's line reader over a stream: the first byte sets the line buffer's size, the rest is what the
// stream holds. Every line read must be terminated inside the buffer and hold no line end, or the harness aborts.
#include "fuzz/FuzzInput.h"
#include "sampler/src/shell/korvel_cmd_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int length = data[0] % 64 == 63 ? KORVEL_SHELL_LINE_SIZE : data[0] % 64;
    const fuzzing::InputFile file(data + 1, size - 1);
    const int in = ::open(file.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return 0;
    // One byte more than the reader is told of, so that a write past its length shows as a changed guard byte.
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\x55');
    for (int lines = 0; lines <= static_cast<int>(size); ++lines) {
        const int result = lines % 2 == 0 ? korvel_istream_gets(in, buffer.data(), length)
                                          : korvel_istream_readline(in, "> ", buffer.data(), length);
        if (buffer[static_cast<std::size_t>(length)] != '\x55') std::abort();
        if (result == 1) {
            const void* end = std::memchr(buffer.data(), '\0', static_cast<std::size_t>(length));
            if (end == nullptr || std::memchr(buffer.data(), '\n', static_cast<const char*>(end) - buffer.data()))
                std::abort();
        }
        if (result <= 0) break;
    }
    ::close(in);
    return 0;
}
