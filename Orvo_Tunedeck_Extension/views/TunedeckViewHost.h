#pragma once

class Soundfontprograms;

// What the panel needs of the view controller that hosts it: the program catalogue of its audio unit.
// Main thread only.
class TunedeckViewHost {
public:
    virtual ~TunedeckViewHost() = default;
    // The audio unit's catalogue, or null while the host holds no audio unit.
    virtual const Soundfontprograms* soundfontprograms() const = 0;
};
