#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

// Makes a sparse file of byteCount bytes (it takes no disk space) that starts with header.
bool makeSparseFile(const std::filesystem::path& path, const std::string& header, std::uint64_t byteCount);

// What a reader did in a child process of its own.
struct ChildRead {
    bool ran = false;                    // the child finished without crash or signal
    bool refused = false;                // read returned false
    std::int64_t residentGrowthBytes = 0; // peak resident memory during read above the child's start
};

// Runs read in a forked child and measures the child's peak resident memory (getrusage) against its resident
// memory just before the read.
ChildRead readInChild(const std::function<bool()>& read);

}  // namespace testsupport
