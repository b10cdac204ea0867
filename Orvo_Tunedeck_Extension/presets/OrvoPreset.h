#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Orvo_Tunedeck_Extension/presets/OrvoPresetDelegate.h"
#include "Orvo_Tunedeck_Extension/presets/PresetGroup.h"
#include "Orvo_Tunedeck_Extension/presets/PresetParam.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/ComponentDescription.h"

// A preset document: the component it belongs to and one patch of parameter values. It is made from a parameter
// tree (makeFrom), turned into a dictionary and back (the patch's toDictionary and fromDictionary), written to and
// read from property-list files (the patch's saveToFile and loadFromFile). Reading only parses; the values reach an
// audio unit through applyTo, which the caller calls with its own delegate once the document is read, and which
// applies nothing to a unit of another component.
//
// Threads: one thread at a time, never the render thread. The document stays where it was made (its patch points
// back to it).
class OrvoPreset {
public:
    OrvoPreset();
    ~OrvoPreset();
    OrvoPreset(const OrvoPreset&) = delete;
    OrvoPreset& operator=(const OrvoPreset&) = delete;

    AudioComponentDescription componentDescription;  // all zero until setup or a read sets it
    std::shared_ptr<PresetPatch> patch;              // always present; its parent is this document

    // Keeps description and fills the patch's identification (component codes, version, name) from the arguments.
    void setup(const AudioComponentDescription& description, std::int64_t version, std::string name);

    // Appends to the patch one group for every parameter group below group, depth first (a nested group after its
    // parent), each with the current values of that group's own parameters in their order. Parameters directly
    // under group itself are not recorded. No group: a log line, nothing else.
    void makeFrom(const AUParameterGroup* group);

    // Whether the document's component has unit's type, subtype and manufacturer (flags are not compared).
    bool matches(const AudioComponentDescription& unit) const;

    // When the document matches unit: reports every parameter to delegate (groups in order, parameters by ascending
    // address as read) and returns true. Otherwise reports nothing and returns false.
    bool applyTo(OrvoPresetDelegate& delegate, const AudioComponentDescription& unit) const;
};
