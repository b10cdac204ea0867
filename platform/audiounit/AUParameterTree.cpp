#include "platform/audiounit/AUParameterTree.h"

#include <cstdio>

std::string AUParameterNode::keyPath() const {
    std::string path = identifier_;
    for (const AUParameterGroup* group = parent_; group != nullptr; group = group->parent()) {
        if (dynamic_cast<const AUParameterTree*>(group) != nullptr) break;
        path = group->identifier() + "." + path;
    }
    return path;
}

AUParameter::AUParameter(std::string identifier, std::string displayName, AUParameterAddress address,
                         AUValue minValue, AUValue maxValue, AudioUnitParameterUnit unit,
                         std::optional<std::string> unitName, AudioUnitParameterOptions flags,
                         std::vector<std::string> valueStrings, std::vector<AUParameterAddress> dependentParameters)
    : AUParameterNode(std::move(identifier), std::move(displayName)),
      address_(address),
      minValue_(minValue),
      maxValue_(maxValue),
      unit_(unit),
      unitName_(std::move(unitName)),
      flags_(flags),
      valueStrings_(std::move(valueStrings)),
      dependentParameters_(std::move(dependentParameters)) {}

AUValue AUParameter::value() const {
    if (tree_ != nullptr && tree_->valueProvider_) return tree_->valueProvider_(*this);
    return value_.load();
}

void AUParameter::setValue(AUValue value, AUParameterObserverToken originator) {
    value_.store(value);
    if (tree_ != nullptr) tree_->valueChanged(*this, value, originator);
}

std::string AUParameter::stringFromValue(std::optional<AUValue> value) const {
    if (tree_ != nullptr && tree_->stringFromValue_) {
        const AUValue given = value.value_or(0.0f);
        return tree_->stringFromValue_(*this, value ? &given : nullptr);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value.value_or(this->value())));
    return text;
}

AUParameterGroup::AUParameterGroup(std::string identifier, std::string displayName,
                                   std::vector<std::shared_ptr<AUParameterNode>> children)
    : AUParameterNode(std::move(identifier), std::move(displayName)), children_(std::move(children)) {
    for (const auto& child : children_)
        if (child) child->parent_ = this;
}

AUParameterGroup::AUParameterGroup(std::vector<std::shared_ptr<AUParameterNode>> children)
    : AUParameterGroup("", "", std::move(children)) {}

std::vector<std::shared_ptr<AUParameter>> AUParameterGroup::allParameters() const {
    std::vector<std::shared_ptr<AUParameter>> result;
    collect(result);
    return result;
}

void AUParameterGroup::collect(std::vector<std::shared_ptr<AUParameter>>& into) const {
    for (const auto& child : children_) {
        if (auto parameter = std::dynamic_pointer_cast<AUParameter>(child)) {
            into.push_back(std::move(parameter));
        } else if (auto group = std::dynamic_pointer_cast<AUParameterGroup>(child)) {
            group->collect(into);
        }
    }
}

std::shared_ptr<AUParameter> AUParameterTree::createParameter(
    std::string identifier, std::string name, AUParameterAddress address, AUValue min, AUValue max,
    AudioUnitParameterUnit unit, std::optional<std::string> unitName, AudioUnitParameterOptions flags,
    std::vector<std::string> valueStrings, std::vector<AUParameterAddress> dependentParameters) {
    return std::make_shared<AUParameter>(std::move(identifier), std::move(name), address, min, max, unit,
                                         std::move(unitName), flags, std::move(valueStrings),
                                         std::move(dependentParameters));
}

std::shared_ptr<AUParameterGroup> AUParameterTree::createGroup(std::string identifier, std::string name,
                                                               std::vector<std::shared_ptr<AUParameterNode>> children) {
    return std::make_shared<AUParameterGroup>(std::move(identifier), std::move(name), std::move(children));
}

std::shared_ptr<AUParameterTree> AUParameterTree::createTree(std::vector<std::shared_ptr<AUParameterNode>> children) {
    return std::make_shared<AUParameterTree>(std::move(children));
}

AUParameterTree::AUParameterTree(std::vector<std::shared_ptr<AUParameterNode>> children)
    : AUParameterGroup(std::move(children)) {
    for (const auto& parameter : allParameters()) {
        parameter->tree_ = this;
        byAddress_.emplace(parameter->address(), parameter);
    }
}

AUParameterTree::~AUParameterTree() {
    for (auto& [address, parameter] : byAddress_) parameter->tree_ = nullptr;
}

std::shared_ptr<AUParameter> AUParameterTree::parameterWithAddress(AUParameterAddress address) const {
    const auto found = byAddress_.find(address);
    return found == byAddress_.end() ? nullptr : found->second;
}

AUParameterObserverToken AUParameterTree::tokenByAddingParameterObserver(AUParameterObserver observer) {
    std::lock_guard lock(observersMutex_);
    const AUParameterObserverToken token = nextToken_++;
    observers_.emplace_back(token, std::make_shared<AUParameterObserver>(std::move(observer)));
    return token;
}

void AUParameterTree::removeParameterObserver(AUParameterObserverToken token) {
    std::lock_guard lock(observersMutex_);
    std::erase_if(observers_, [token](const auto& entry) { return entry.first == token; });
}

void AUParameterTree::valueChanged(const AUParameter& parameter, AUValue value, AUParameterObserverToken originator) {
    if (valueObserver_) valueObserver_(parameter, value);
    std::vector<std::shared_ptr<AUParameterObserver>> observers;
    {
        std::lock_guard lock(observersMutex_);
        for (const auto& [token, observer] : observers_)
            if (token != originator) observers.push_back(observer);
    }
    for (const auto& observer : observers) (*observer)(parameter.address(), value);
}
