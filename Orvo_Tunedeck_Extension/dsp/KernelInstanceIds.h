#pragma once

#include <cstdint>

// Identifiers of the kernels' synthesizer-library instances. Each live kernel holds a distinct identifier: a new
// kernel takes the smallest identifier from 1 up that no live kernel holds, so the n-th of n kernels alive at once
// gets n, and an identifier is only reused once the kernel that held it is gone.
//
// Thread contract: any thread except the render thread (takes a lock).
namespace KernelInstanceIds {

std::uint32_t acquire();
void release(std::uint32_t id);
// Kernels holding an identifier now.
std::uint32_t liveCount();

}  // namespace KernelInstanceIds
