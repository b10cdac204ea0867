#pragma once
// A line that shows how far an offline render has come. It is written only when asked for (the program asks when
// standard error is a terminal), and only once the render has run for more than a second; it is rewritten in place
// at most ten times a second and wiped when the render ends, so that what follows starts on a clean line.
//
// Threads: the thread doing the render.

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Writes "Orvo-Tunedeck2: <label> NN% (done of total s)" on out when shown is true; clock gives the time.
    ProgressLine(std::string label, std::FILE* out, bool shown, Clock clock = std::chrono::steady_clock::now);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // doneSeconds of totalSeconds of music rendered (totalSeconds above 0).
    void update(double doneSeconds, double totalSeconds);
    // Wipes the line when it was written; update() may write it again.
    void clear();

private:
    std::string label_;
    std::FILE* out_;
    bool shown_;
    Clock clock_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastWritten_{};
    bool written_ = false;
};
