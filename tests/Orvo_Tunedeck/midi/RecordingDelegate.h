#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/midi/MIDIMessageDelegate.h"

// Writes every delegate call as one line of an event log: "channel 90 3C 64 3", "sysex 6: F0 7E 7F 09 01 F7",
// "clock", "notification".
class RecordingDelegate final : public MIDIMessageDelegate {
public:
    std::vector<std::string> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

    void onChannelMessage(midi::MIDITimeStamp timeStamp, std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                          std::uint16_t length) override {
        add(hex({status, data1, data2}, "channel") + " " + std::to_string(length) + stamp(timeStamp));
    }
    void onSysEx(midi::MIDITimeStamp timeStamp, std::uint16_t length, std::span<const std::uint8_t> data) override {
        std::vector<std::uint8_t> bytes(data.begin(), data.begin() + length);
        add(hex(bytes, "sysex " + std::to_string(length) + ":") + stamp(timeStamp));
    }
    void onTimeCode(midi::MIDITimeStamp, std::uint8_t data1) override { add(hex({data1}, "timecode")); }
    void onSongPositionPointer(midi::MIDITimeStamp, std::uint8_t data1, std::uint8_t data2) override {
        add(hex({data1, data2}, "songposition"));
    }
    void onSongSelect(midi::MIDITimeStamp, std::uint8_t data1) override { add(hex({data1}, "songselect")); }
    void onTuneRequest(midi::MIDITimeStamp) override { add("tunerequest"); }
    void onClock(midi::MIDITimeStamp) override { add("clock"); }
    void onStart(midi::MIDITimeStamp) override { add("start"); }
    void onContinue(midi::MIDITimeStamp) override { add("continue"); }
    void onStop(midi::MIDITimeStamp) override { add("stop"); }
    void onActiveSensing(midi::MIDITimeStamp) override { add("activesensing"); }
    void onSystemReset(midi::MIDITimeStamp) override { add("reset"); }
    void onMIDINotification() override { add("notification"); }

private:
    static std::string hex(const std::vector<std::uint8_t>& bytes, std::string text) {
        for (const std::uint8_t b : bytes) {
            char part[4];
            std::snprintf(part, sizeof part, " %02X", b);
            text += part;
        }
        return text;
    }
    static std::string stamp(midi::MIDITimeStamp timeStamp) {
        return timeStamp == 0 ? std::string() : " @" + std::to_string(timeStamp);
    }
    void add(std::string line) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(line));
    }

    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};
