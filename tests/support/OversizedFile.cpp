#include "tests/support/OversizedFile.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace testsupport {
namespace {

std::int64_t residentBytesNow() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

}  // namespace

bool makeSparseFile(const std::filesystem::path& path, const std::string& header, std::uint64_t byteCount) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
                    ::ftruncate(fd, static_cast<off_t>(byteCount)) == 0;
    return ::close(fd) == 0 && ok;
}

ChildRead readInChild(const std::function<bool()>& read) {
    int channel[2];
    ChildRead result;
    if (::pipe(channel) != 0) return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::int64_t before = residentBytesNow();
        const bool accepted = read();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const ChildRead report{true, !accepted, static_cast<std::int64_t>(usage.ru_maxrss) * 1024 - before};
        const bool sent = ::write(channel[1], &report, sizeof report) == static_cast<ssize_t>(sizeof report);
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    if (child > 0) {
        ChildRead report;
        if (::read(channel[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report)) result = report;
        int status = 0;
        ::waitpid(child, &status, 0);
        result.ran = result.ran && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    ::close(channel[0]);
    return result;
}

}  // namespace testsupport
