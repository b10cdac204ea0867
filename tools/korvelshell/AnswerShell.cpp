#include "tools/korvelshell/AnswerShell.h"

#include "sampler/src/shell/korvel_cmd_stream.h"
#include "sampler/src/sys/korvel_strtok.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace korvelshell {
namespace {

// Writes all of count bytes, as far as out takes them.
void writeAll(int out, const char* bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(out, bytes, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
}

// Copies what a command wrote into answer to out and ends it with a line end; the answer file is emptied.
void passAnswer(int answer, int out)
{
    const off_t length = ::lseek(answer, 0, SEEK_CUR);
    std::array<char, 4096> buffer{};
    char last = '\n';
    for (off_t at = 0; at < length;) {
        const ssize_t count = ::pread(answer, buffer.data(), buffer.size(), at);
        if (count <= 0) {
            break;
        }
        writeAll(out, buffer.data(), static_cast<size_t>(count));
        last = buffer[static_cast<size_t>(count) - 1];
        at += count;
    }
    if (last != '\n') {
        writeAll(out, "\n", 1);
    }
    if (::ftruncate(answer, 0) == 0) {
        ::lseek(answer, 0, SEEK_SET);
    }
}

} // namespace

int runAnswerShell(korvel_cmd_handler_t* handler, int in, int out)
{
    const int answer = ::memfd_create("korvelshell-answer", MFD_CLOEXEC);
    korvel_strtok_t* tokenizer = answer >= 0 ? new_korvel_strtok(nullptr, nullptr) : nullptr;
    if (tokenizer == nullptr) {
        if (answer >= 0) {
            ::close(answer);
        }
        return -1;
    }
    int errors = 0;
    char line[KORVEL_SHELL_LINE_SIZE];
    for (;;) {
        const int read = korvel_istream_readline(in, "", line, sizeof line);
        if (read < 0) {
            break;
        }
        const int result = korvel_command2(tokenizer, handler, line, answer);
        passAnswer(answer, out);
        if (result == KORVEL_CMD_QUIT) {
            break;
        }
        if (result == -1) {
            errors++;
        }
        if (read == 0) {
            break;
        }
    }
    delete_korvel_strtok(tokenizer);
    ::close(answer);
    return errors;
}

} // namespace korvelshell
