#include <gtest/gtest.h>

#include <map>

#include "platform/audiounit/AUParameterTree.h"

namespace {

constexpr AudioUnitParameterOptions kReadWrite = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;

std::shared_ptr<AUParameter> parameter(const std::string& key, AUParameterAddress address) {
    return AUParameterTree::createParameter(key, key + " name", address, 0.0f, 1.0f, kAudioUnitParameterUnit_Generic,
                                            std::nullopt, kReadWrite);
}

// global { volume 1, pan 2 }, channel { inner { level 10 }, mute 11 }, loose 20
std::shared_ptr<AUParameterTree> sampleTree() {
    auto inner = AUParameterTree::createGroup("inner", "Inner", {parameter("level", 10)});
    return AUParameterTree::createTree({
        AUParameterTree::createGroup("global", "Global", {parameter("volume", 1), parameter("pan", 2)}),
        AUParameterTree::createGroup("channel", "Channel", {inner, parameter("mute", 11)}),
        parameter("loose", 20),
    });
}

}  // namespace

TEST(ParameterTree, FindsParametersByAddressAndListsThemDepthFirst) {
    const auto tree = sampleTree();
    std::vector<AUParameterAddress> order;
    for (const auto& p : tree->allParameters()) order.push_back(p->address());
    EXPECT_EQ(order, (std::vector<AUParameterAddress>{1, 2, 10, 11, 20}));

    ASSERT_NE(tree->parameterWithAddress(10), nullptr);
    EXPECT_EQ(tree->parameterWithAddress(10)->identifier(), "level");
    EXPECT_EQ(tree->parameterWithAddress(10)->keyPath(), "channel.inner.level");
    EXPECT_EQ(tree->parameterWithAddress(20)->keyPath(), "loose");
    EXPECT_EQ(tree->parameterWithAddress(3), nullptr);
    EXPECT_EQ(tree->children().size(), 3U);
    EXPECT_EQ(tree->parameterWithAddress(1)->flags(), kReadWrite);
}

TEST(ParameterTree, WritesAreNotClampedAndReachTheImplementorAndTheObservers) {
    const auto tree = sampleTree();
    std::map<AUParameterAddress, AUValue> store;
    tree->setImplementorValueObserver([&](const AUParameter& p, AUValue v) { store[p.address()] = v; });
    std::vector<std::pair<AUParameterAddress, AUValue>> first, second;
    const auto token1 = tree->tokenByAddingParameterObserver([&](AUParameterAddress a, AUValue v) { first.emplace_back(a, v); });
    const auto token2 = tree->tokenByAddingParameterObserver([&](AUParameterAddress a, AUValue v) { second.emplace_back(a, v); });
    EXPECT_NE(token1, token2);

    const auto volume = tree->parameterWithAddress(1);
    volume->setValue(-12.0f);  // outside 0...1
    EXPECT_EQ(volume->value(), -12.0f);
    EXPECT_EQ(store[1], -12.0f);
    volume->setValue(0.5f, token1);  // the originator does not hear its own write
    EXPECT_EQ(first, (std::vector<std::pair<AUParameterAddress, AUValue>>{{1, -12.0f}}));
    EXPECT_EQ(second, (std::vector<std::pair<AUParameterAddress, AUValue>>{{1, -12.0f}, {1, 0.5f}}));

    tree->removeParameterObserver(token2);
    volume->setValue(0.25f);
    EXPECT_EQ(second.size(), 2U);
    EXPECT_EQ(first.back(), (std::pair<AUParameterAddress, AUValue>{1, 0.25f}));
}

TEST(ParameterTree, ValuesComeFromTheProviderWhenThereIsOne) {
    const auto tree = sampleTree();
    std::map<AUParameterAddress, AUValue> store{{2, 0.75f}};
    tree->setImplementorValueProvider([&](const AUParameter& p) { return store[p.address()]; });
    EXPECT_EQ(tree->parameterWithAddress(2)->value(), 0.75f);
    store[2] = 0.125f;  // written behind the tree's back
    EXPECT_EQ(tree->parameterWithAddress(2)->value(), 0.125f);
}

TEST(ParameterTree, StringFromValueUsesTheCallbackOrPlainDigits) {
    const auto tree = sampleTree();
    const auto pan = tree->parameterWithAddress(2);
    pan->setValue(0.5f);
    EXPECT_EQ(pan->stringFromValue(), "0.5");
    EXPECT_EQ(pan->stringFromValue(0.25f), "0.25");
    tree->setImplementorStringFromValueCallback([](const AUParameter& p, const AUValue* value) {
        return p.identifier() + "=" + (value != nullptr ? std::to_string(static_cast<int>(*value * 100)) : "now");
    });
    EXPECT_EQ(pan->stringFromValue(0.25f), "pan=25");
    EXPECT_EQ(pan->stringFromValue(), "pan=now");
}

TEST(ParameterTree, AParameterOutlivingItsTreeStillHoldsItsValue) {
    std::shared_ptr<AUParameter> kept;
    {
        const auto tree = sampleTree();
        tree->setImplementorValueProvider([](const AUParameter&) { return 9.0f; });
        kept = tree->parameterWithAddress(11);
    }
    kept->setValue(0.5f);
    EXPECT_EQ(kept->value(), 0.5f);
}
