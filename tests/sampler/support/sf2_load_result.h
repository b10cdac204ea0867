// Loads SoundFont 2 bytes into a fresh bank and keeps what the reader said: its result, its standard-output lines
// and its log lines.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sf2 {

class LoadResult {
public:
    // Writes bytes to a scratch file named file_name and loads it.
    LoadResult(const std::vector<uint8_t>& bytes, const std::string& file_name = "bank.sf2");
    ~LoadResult();
    LoadResult(const LoadResult&) = delete;
    LoadResult& operator=(const LoadResult&) = delete;

    int result = 0;
    korvel_defsfont_t* bank = nullptr;
    std::string out;                // standard output during the load
    std::vector<std::string> logs;  // log lines at any level
    // True when text was printed as a line or logged.
    bool said(const std::string& text) const;
    // Everything said, for failure messages.
    std::string transcript() const;
};

} // namespace sf2
