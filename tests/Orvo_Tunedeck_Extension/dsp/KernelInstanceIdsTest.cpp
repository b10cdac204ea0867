#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeck_DSPKernel.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

TEST(KernelInstanceIds, CountFromOneWhileKernelsOnlyGrow) {
    const OrvoTunedeck_DSPKernel first;
    const OrvoTunedeck_DSPKernel second;
    EXPECT_EQ(first.instanceId(), 1u);
    EXPECT_EQ(second.instanceId(), 2u);
    EXPECT_EQ(OrvoTunedeck_DSPKernel::instanceCount(), 2u);
}

TEST(KernelInstanceIds, LiveKernelsNeverShareAnIdAfterOthersWentAway) {
    auto a = std::make_unique<OrvoTunedeck_DSPKernel>();
    auto b = std::make_unique<OrvoTunedeck_DSPKernel>();
    auto c = std::make_unique<OrvoTunedeck_DSPKernel>();
    a.reset();
    auto d = std::make_unique<OrvoTunedeck_DSPKernel>();
    auto e = std::make_unique<OrvoTunedeck_DSPKernel>();
    b.reset();
    auto f = std::make_unique<OrvoTunedeck_DSPKernel>();

    const std::set<std::uint32_t> ids = {c->instanceId(), d->instanceId(), e->instanceId(), f->instanceId()};
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(OrvoTunedeck_DSPKernel::instanceCount(), 4u);
}

}  // namespace
