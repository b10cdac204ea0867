#pragma once
// A picture of the main screen with the instrument playing, drawn without a display: the screen in a window of the
// given size over the instrument rendered offline (its start-up file playing), seconds of play on the main queue's
// own clock, then the headless back end's drawing written as a PNG file. The same build draws the same picture for
// the same file.
//
// Threads: the process's main thread, which drives the main queue (on a manual clock from then on).

#include <filesystem>

struct MainScreenPictureRequest {
    std::filesystem::path pngFile;
    int width = 720;
    int height = 640;
    double seconds = 6;
};

// The process's exit code: 0 when the picture was written, 1 after a failure that a log line explains.
int drawMainScreenPicture(const MainScreenPictureRequest& request);
