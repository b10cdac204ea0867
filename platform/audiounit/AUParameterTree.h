#pragma once
// A unit's parameters: a tree of groups and parameters, each parameter found by its numeric address.
//
// Values: reading a parameter's value asks the tree's value provider when one is installed (the unit's own store),
// otherwise the value last written. Writing stores the value (never clamped to the declared range), calls the
// tree's value observer (the unit takes the value), then every observer added with tokenByAddingParameterObserver,
// except the one whose token is passed as originator. Observers run synchronously on the writing thread.
//
// Threads: build the tree and install the implementor callbacks before the tree is shared. Afterwards values may be
// read and written from any thread except the render thread (writes call observers, which may allocate or lock);
// observers may be added and removed from any thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/audiounit/AUParameterUnits.h"
#include "platform/audiounit/RenderEvent.h"

class AUParameterTree;
class AUParameterGroup;
class AUParameter;

// Identifies one observer of a tree; 0 is no observer.
using AUParameterObserverToken = std::uint64_t;
using AUParameterObserver = std::function<void(AUParameterAddress address, AUValue value)>;

// What groups and parameters share: a key unique among siblings, a display name and the dotted path of keys.
class AUParameterNode {
public:
    virtual ~AUParameterNode() = default;

    const std::string& identifier() const { return identifier_; }
    const std::string& displayName() const { return displayName_; }
    // The identifiers from the tree's top level down to this node, joined by ".".
    std::string keyPath() const;

    AUParameterGroup* parent() const { return parent_; }

protected:
    AUParameterNode(std::string identifier, std::string displayName)
        : identifier_(std::move(identifier)), displayName_(std::move(displayName)) {}

private:
    friend class AUParameterGroup;
    friend class AUParameterTree;

    std::string identifier_;
    std::string displayName_;
    AUParameterGroup* parent_ = nullptr;  // not owning
};

class AUParameter final : public AUParameterNode {
public:
    AUParameter(std::string identifier, std::string displayName, AUParameterAddress address, AUValue minValue,
                AUValue maxValue, AudioUnitParameterUnit unit, std::optional<std::string> unitName,
                AudioUnitParameterOptions flags, std::vector<std::string> valueStrings,
                std::vector<AUParameterAddress> dependentParameters);

    AUParameterAddress address() const { return address_; }
    AUValue minValue() const { return minValue_; }
    AUValue maxValue() const { return maxValue_; }
    AudioUnitParameterUnit unit() const { return unit_; }
    const std::optional<std::string>& unitName() const { return unitName_; }
    AudioUnitParameterOptions flags() const { return flags_; }
    const std::vector<std::string>& valueStrings() const { return valueStrings_; }
    const std::vector<AUParameterAddress>& dependentParameters() const { return dependentParameters_; }

    AUValue value() const;
    void setValue(AUValue value) { setValue(value, 0); }
    // As setValue, without calling the observer whose token is originator.
    void setValue(AUValue value, AUParameterObserverToken originator);

    // Display text of value, or of the current value when none is given: the tree's string-from-value callback when
    // installed, otherwise the value with up to six significant digits.
    std::string stringFromValue(std::optional<AUValue> value = std::nullopt) const;

    AUParameterTree* tree() const { return tree_; }

private:
    friend class AUParameterTree;

    AUParameterAddress address_;
    AUValue minValue_;
    AUValue maxValue_;
    AudioUnitParameterUnit unit_;
    std::optional<std::string> unitName_;
    AudioUnitParameterOptions flags_;
    std::vector<std::string> valueStrings_;
    std::vector<AUParameterAddress> dependentParameters_;
    std::atomic<AUValue> value_{0.0f};
    AUParameterTree* tree_ = nullptr;  // not owning; set when the tree is made
};

class AUParameterGroup : public AUParameterNode {
public:
    AUParameterGroup(std::string identifier, std::string displayName,
                     std::vector<std::shared_ptr<AUParameterNode>> children);

    const std::vector<std::shared_ptr<AUParameterNode>>& children() const { return children_; }
    // Every parameter below this group, depth first in children order.
    std::vector<std::shared_ptr<AUParameter>> allParameters() const;

protected:
    explicit AUParameterGroup(std::vector<std::shared_ptr<AUParameterNode>> children);

private:
    void collect(std::vector<std::shared_ptr<AUParameter>>& into) const;

    std::vector<std::shared_ptr<AUParameterNode>> children_;
};

class AUParameterTree final : public AUParameterGroup {
public:
    using ValueObserver = std::function<void(const AUParameter& parameter, AUValue value)>;
    using ValueProvider = std::function<AUValue(const AUParameter& parameter)>;
    // value is nullptr when the parameter's current value is wanted.
    using StringFromValue = std::function<std::string(const AUParameter& parameter, const AUValue* value)>;

    static std::shared_ptr<AUParameter> createParameter(
        std::string identifier, std::string name, AUParameterAddress address, AUValue min, AUValue max,
        AudioUnitParameterUnit unit, std::optional<std::string> unitName, AudioUnitParameterOptions flags,
        std::vector<std::string> valueStrings = {}, std::vector<AUParameterAddress> dependentParameters = {});
    static std::shared_ptr<AUParameterGroup> createGroup(std::string identifier, std::string name,
                                                         std::vector<std::shared_ptr<AUParameterNode>> children);
    // A tree over children. A node belongs to one tree; giving it to a second one is a programming error.
    static std::shared_ptr<AUParameterTree> createTree(std::vector<std::shared_ptr<AUParameterNode>> children);

    explicit AUParameterTree(std::vector<std::shared_ptr<AUParameterNode>> children);
    ~AUParameterTree() override;
    AUParameterTree(const AUParameterTree&) = delete;
    AUParameterTree& operator=(const AUParameterTree&) = delete;

    // The parameter at address, or nullptr.
    std::shared_ptr<AUParameter> parameterWithAddress(AUParameterAddress address) const;

    // Implementor callbacks: install before sharing the tree.
    void setImplementorValueObserver(ValueObserver observer) { valueObserver_ = std::move(observer); }
    void setImplementorValueProvider(ValueProvider provider) { valueProvider_ = std::move(provider); }
    void setImplementorStringFromValueCallback(StringFromValue callback) { stringFromValue_ = std::move(callback); }

    AUParameterObserverToken tokenByAddingParameterObserver(AUParameterObserver observer);
    void removeParameterObserver(AUParameterObserverToken token);

private:
    friend class AUParameter;

    void valueChanged(const AUParameter& parameter, AUValue value, AUParameterObserverToken originator);

    std::unordered_map<AUParameterAddress, std::shared_ptr<AUParameter>> byAddress_;
    ValueObserver valueObserver_;
    ValueProvider valueProvider_;
    StringFromValue stringFromValue_;

    std::mutex observersMutex_;
    std::vector<std::pair<AUParameterObserverToken, std::shared_ptr<AUParameterObserver>>> observers_;
    AUParameterObserverToken nextToken_ = 1;
};
