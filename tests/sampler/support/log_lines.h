// Captures the library's log lines for the lifetime of the object, so tests can check the exact texts.
#pragma once

#include <string>
#include <vector>

struct LogLine {
    int level;
    std::string text;
};

class KorvelLogLines {
public:
    KorvelLogLines();
    ~KorvelLogLines();
    KorvelLogLines(const KorvelLogLines&) = delete;
    KorvelLogLines& operator=(const KorvelLogLines&) = delete;

    const std::vector<LogLine>& lines() const { return lines_; }
    // True when some line at this level has exactly this text.
    bool has(int level, const std::string& text) const;
    // True when some line at any level has exactly this text.
    bool has(const std::string& text) const;
    // All lines, one per row, for failure messages.
    std::string dump() const;
    void clear() { lines_.clear(); }

private:
    std::vector<LogLine> lines_;
    void (*previous_[5])(int, char*, void*) = {};
};
