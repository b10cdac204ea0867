// Four floats in one vector, for DSP that runs four independent filters side by side (one in each lane): GCC and
// Clang build the vector for the target's vector unit (SSE2 on x86-64) or as scalars where it has none. A filter's
// frames come in rows (four frames of one filter), and its recursion runs on columns (one frame of four filters).
//
// Thread contract: pure functions; any thread.
#pragma once

namespace korvel_lanes {

constexpr int kLanes = 4;
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));
using LaneInts = int __attribute__((vector_size(kLanes * sizeof(int))));

// Four frames of four lanes: rows in, columns out (and back again).
inline void transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d)
{
    const Lanes ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Lanes ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Lanes cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Lanes cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
    b = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
    c = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
    d = __builtin_shufflevector(ab23, cd23, 2, 3, 6, 7);
}

} // namespace korvel_lanes
