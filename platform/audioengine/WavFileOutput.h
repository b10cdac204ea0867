#pragma once
// An output into a WAV file (through libsndfile): the engine renders only when asked, on the caller's thread, and
// every rendered block is appended to the file. Files are plain WAV files; one that is told before its first frame
// that it will pass 4 GiB, which a WAV file's sizes cannot count, is written as RF64 (a WAV file with 64-bit sizes).
// For offline rendering; file I/O happens on the calling thread.
// Rendered frames are gathered and written kFileFrames at a time, so that a render in small blocks costs few writes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audioengine/AudioOutput.h"

struct sf_private_tag;

namespace audioengine {

class WavFileOutput final : public AudioOutput {
public:
    enum class SampleFormat { float32, pcm16 };

    WavFileOutput(std::string path, double sampleRateHz, SampleFormat format = SampleFormat::float32);
    // Writes into the open file descriptor, which stays the caller's (it is not closed); name is for messages.
    WavFileOutput(int descriptor, std::string name, double sampleRateHz,
                  SampleFormat format = SampleFormat::float32);
    ~WavFileOutput() override;

    std::string description() const override { return "WAV file '" + path_ + "'"; }
    double sampleRate() const override { return sampleRate_; }
    // Creates (or truncates) the file, or starts writing into the descriptor; fails with the library's reason when it cannot.
    bool start(RenderSource& source, std::string& error) override;
    // Writes what is still gathered and closes the file; what was rendered stays in it.
    void stop() override;

    // Renders frames frames and appends them. False when not started or when writing failed (error() says why).
    bool render(uint32_t frames);
    // Writes the frames still gathered. False when writing failed (error() says why).
    bool flush();
    // Renders frames frames and drops them (a chain's latency before its first frame). Nothing when not started.
    void discard(uint32_t frames);
    // Once started and before the first frame: the file will hold frames frames. A file past 4 GiB is then started
    // again as RF64. False when that cannot be done (error() says why).
    bool expectFrames(uint64_t frames);
    // The size of the file once it holds frames frames, or a little more; the largest uint64_t when that is more.
    uint64_t fileBytesFor(uint64_t frames) const;
    // Frames in the file, not counting those still gathered.
    uint64_t framesWritten() const { return framesWritten_; }
    const std::string& error() const { return error_; }

private:
    static constexpr uint32_t kChunkFrames = 4096;
    static constexpr uint32_t kFileFrames = 4 * kChunkFrames;
    // The chunks before the samples (format, peak, the room kept for RF64's sizes), generously.
    static constexpr uint64_t kHeaderBytesAtMost = 1024;
    // The largest file a WAV file's 32-bit sizes count.
    static constexpr uint64_t kWavBytesAtMost = 0xFFFFFFFFu;

    bool openFile(bool rf64, std::string& error);

    std::string path_;
    int descriptor_ = -1;
    double sampleRate_;
    SampleFormat format_;
    RenderSource* source_ = nullptr;
    sf_private_tag* file_ = nullptr;
    std::vector<float> left_, right_, interleaved_;
    uint32_t gathered_ = 0;  // frames in interleaved_ not yet written
    uint64_t framesWritten_ = 0;
    std::string error_;
};

}  // namespace audioengine
