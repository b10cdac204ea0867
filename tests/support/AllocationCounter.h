#pragma once

#include <cstdint>

namespace testsupport {

// Counts the allocations made through operator new (every form) by the calling thread. A test program that links
// this replaces the global operator new and delete with counting ones.
std::uint64_t allocationsOnThisThread();

}  // namespace testsupport
