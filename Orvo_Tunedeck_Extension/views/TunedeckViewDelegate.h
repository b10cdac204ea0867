#pragma once

// What the player panel reports to its owner: parameter writes (address, value) for the audio unit, and view
// options (address, value) for the view controller. Called on the main thread.
class TunedeckViewDelegate {
public:
    virtual ~TunedeckViewDelegate() = default;
    virtual void onTunedeckViewParameter(int address, float value) = 0;
    virtual void onTunedeckViewOption(int address, float value) = 0;
};
