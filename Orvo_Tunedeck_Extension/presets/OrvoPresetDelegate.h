#pragma once

#include <cstdint>
#include <string>

// Receives the parameter values of a preset document when the document is applied (OrvoPreset::applyTo): once per
// parameter, groups in document order and parameters by ascending address. The audio unit implements it and sets
// each value on its tree. Called synchronously on the thread that applies the document.
class OrvoPresetDelegate {
public:
    virtual ~OrvoPresetDelegate() = default;

    // group is the id of the parameter's group, 0 when the parameter has none.
    virtual void onFoundParameter(std::int64_t group, const std::string& identifier, std::uint64_t address,
                                  float value) = 0;
};
