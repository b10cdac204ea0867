#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Orvo_Tunedeck_Extension/presets/OrvoPresetDelegate.h"

// Keeps every report, in order.
class RecordingPresetDelegate final : public OrvoPresetDelegate {
public:
    struct Report {
        std::int64_t group;
        std::string identifier;
        std::uint64_t address;
        float value;
        bool operator==(const Report&) const = default;
    };

    void onFoundParameter(std::int64_t group, const std::string& identifier, std::uint64_t address,
                          float value) override {
        reports.push_back({group, identifier, address, value});
    }

    std::vector<Report> reports;
};
