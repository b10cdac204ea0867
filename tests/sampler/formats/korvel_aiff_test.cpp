// AIFF files: the writer's byte layout, reading back through sox and through the library's own readers, the
// per-sample export, and hostile files.
#include "sampler/src/formats/korvel_aiff.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t be32(const std::vector<unsigned char>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
        out += buf;
    }
    pclose(pipe);
    return out;
}

// A ramp of n points peaking at half scale.
std::vector<int16_t> ramp(int n)
{
    std::vector<int16_t> points(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) {
        points[static_cast<size_t>(i)] = static_cast<int16_t>((i % 2 ? -1 : 1) * (16384 * i / (n - 1)));
    }
    return points;
}

// Quiet: the readers report on standard output.
template <typename F> auto quietly(F f)
{
    ::testing::internal::CaptureStdout();
    auto result = f();
    ::testing::internal::GetCapturedStdout();
    return result;
}

TEST(AiffWriter, MonoFileWithLoopMarkersHasTheDocumentedLayout)
{
    const std::string path = sf2::scratch_path("mono.aif");
    const std::vector<int16_t> points = ramp(100);
    ASSERT_EQ(convert2Aiff(path.c_str(), points.data(), 100, 1, 16, 10, 90, 44100.0f), 0);
    const auto b = read_file(path);
    ASSERT_EQ(b.size(), 8u + 2 * 100 + 90);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "FORM");
    EXPECT_EQ(be32(b, 4), 2u * 100 + 90);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "AIFFCOMM");
    EXPECT_EQ(be32(b, 16), 18u);
    const std::vector<unsigned char> comm(b.begin() + 20, b.begin() + 38);
    const std::vector<unsigned char> want = {0, 1, 0, 0, 0, 100, 0, 16, 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(comm, want);
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 42), "SSND");
    EXPECT_EQ(be32(b, 42), 2u * 100 + 8);
    EXPECT_EQ(b[54], 0x00); // first point, big-endian
    const size_t mark = 54 + 200;
    EXPECT_EQ(std::string(b.begin() + static_cast<long>(mark), b.begin() + static_cast<long>(mark) + 4), "MARK");
    EXPECT_EQ(be32(b, mark + 4), 36u);
    EXPECT_EQ(b[mark + 9], 2);
}

TEST(AiffWriter, RatesOddDataAndStatesFollowTheFormat)
{
    unsigned char ext[10];
    korvel_aiff_write_extended(48000.0, ext);
    const std::vector<unsigned char> rate(ext, ext + 10);
    EXPECT_EQ(rate, (std::vector<unsigned char>{0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(korvel_aiff_read_extended(ext), 48000.0);

    const std::string path = sf2::scratch_path("odd.aif");
    AIFF_Handle* h = AIFF_OpenFile(path.c_str(), F_WRONLY);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(AIFF_SetAudioFormat(h, 1, 22050, 8), 1);
    EXPECT_EQ(AIFF_SetAudioFormat(h, 1, 22050, 8), 0);
    EXPECT_EQ(AIFF_StartWritingSamples(h), 1);
    const unsigned char three[3] = {1, 2, 3};
    EXPECT_EQ(AIFF_WriteSamples(h, three, 3), 1);
    EXPECT_EQ(AIFF_EndWritingSamples(h), 1);
    EXPECT_EQ(AIFF_StartWritingMarkers(h), 1);
    EXPECT_EQ(AIFF_CloseFile(h), 2); // markers left open
    const auto b = read_file(path);
    ASSERT_EQ(b.size(), 12u + 26 + 16 + 3 + 1 + 10u); // one padding byte, then the open MARK header and count
    EXPECT_EQ(be32(b, 4) + 8, b.size());
    EXPECT_EQ(be32(b, 42), 11u);
    EXPECT_EQ(be32(b, 22), 3u);

    h = AIFF_OpenFile(path.c_str(), F_WRONLY);
    ASSERT_NE(h, nullptr);
    AIFF_SetAudioFormat(h, 1, 44100, 16);
    AIFF_StartWritingSamples(h);
    EXPECT_EQ(AIFF_WriteSamples(h, three, 3), 0);
    AIFF_CloseFile(h);
}

TEST(AiffExport, ExportedSampleReadsBackThroughSoxAndOwnReaders)
{
    const std::string folder = sf2::scratch_path("export");
    std::filesystem::create_directories(folder + "/S");
    ASSERT_EQ(korvel_aiff_export_set_folder(folder.c_str()), 0);

    std::vector<int16_t> points = ramp(100);
    korvel_sample_t* sample = new_korvel_sample();
    sample->tsource = KORVEL_SAMPLE_FILE;
    sample->data = static_cast<short*>(std::calloc(100, sizeof(short)));
    std::copy(points.begin(), points.end(), sample->data);
    sample->size = 100;
    sample->pstart = 0;
    sample->pend = 100;
    sample->lstart = 20;
    sample->lend = 80;
    sample->rate = 32000;
    quietly([&] { return korvel_sample_export_sfont(sample); });
    delete_korvel_sample(sample);

    std::string file;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/S")) {
        file = entry.path().string();
    }
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(std::filesystem::path(file).extension(), ".aif");
    EXPECT_GE(std::stoll(std::filesystem::path(file).stem().string()), KORVEL_AIFF_FIRST_NUMBER);

    EXPECT_EQ(run("soxi -r '" + file + "'"), "32000\n");
    EXPECT_EQ(run("soxi -s '" + file + "'"), "100\n");
    EXPECT_EQ(run("soxi -c '" + file + "'"), "1\n");
    const std::string stat = run("sox '" + file + "' -n stat 2>&1");
    EXPECT_NE(stat.find("Minimum amplitude:    -0.500000"), std::string::npos) << stat;

    EXPECT_EQ(quietly([&] { return findMarkers(file.c_str()); }), 0);
    EXPECT_EQ(getMarker1(), 20);
    EXPECT_EQ(getMarker2(), 80);
    EXPECT_EQ(getSampleLen(), 100);
    ASSERT_EQ(quietly([&] { return loadAiffFile(file.c_str()); }), 100);
    ASSERT_EQ(getAiffFileSize(), 100);
    EXPECT_EQ(getAiffFileRight(), nullptr);
    for (int i = 0; i < 100; i++) {
        EXPECT_FLOAT_EQ(getAiffFileLeft()[i], points[static_cast<size_t>(i)] / 32767.0f) << i;
    }
    cleanAiffFile();
}

TEST(AiffExport, LoopThatCannotPlayWritesNoMarkers)
{
    const std::string path = sf2::scratch_path("noloop.aif");
    const std::vector<int16_t> points = ramp(10);
    convert2Aiff(path.c_str(), points.data(), 10, 1, 16, 4, 4, 44100.0f);
    const auto b = read_file(path);
    EXPECT_EQ(b.size(), 8u + 4 + 26 + 16 + 20);
}

TEST(AiffLibrary, AssertionReporterNamesThePlaceAndStops)
{
    EXPECT_DEATH(AIFF_AssertionFailed("aiff", "korvel_aiff.cpp", 42),
                 "^aiff: assertion at korvel_aiff.cpp:42 failed\n");
}

TEST(AiffReaders, StereoFileFromSoxSplitsIntoChannels)
{
    const std::string aiff = sf2::scratch_path("stereo.aif");
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 16 -c 2 '" + aiff + "' synth 0.01 sine 300 sine 500 2>/dev/null").c_str()),
              0);
    const std::string folder = sf2::scratch_path("");
    ASSERT_EQ(quietly([&] { return convertToMonoFiles(aiff.c_str(), folder.c_str(), "tone", 32); }), 0);
    AIFF_Handle* h = AIFF_OpenFile(aiff.c_str(), F_RDONLY);
    ASSERT_NE(h, nullptr);
    uint64_t frames = 0;
    AIFF_GetAudioFormat(h, &frames, nullptr, nullptr, nullptr, nullptr);
    std::vector<int16_t> interleaved(2 * frames);
    ASSERT_EQ(AIFF_ReadSamples(h, interleaved.data(), interleaved.size() * 2), static_cast<int>(interleaved.size() * 2));
    AIFF_CloseFile(h);
    const auto right = read_file(folder + "tone (R).pcm");
    ASSERT_EQ(right.size(), frames * 4);
    for (size_t i = 0; i < frames; i++) {
        float v;
        std::memcpy(&v, right.data() + 4 * i, 4);
        EXPECT_FLOAT_EQ(v, interleaved[2 * i + 1] / 32767.0f);
    }
    EXPECT_EQ(quietly([&] { return loadAiffFile(aiff.c_str()); }), static_cast<int>(frames));
    EXPECT_FLOAT_EQ(getAiffFileRight()[3], interleaved[7] / 32767.0f);
    cleanAiffFile();
}

TEST(AiffReaders, EncodedFilesFromSoxDecode)
{
    struct Case {
        const char* options;
        double tolerance;
    };
    for (const Case& c : {Case{"-e signed-integer -b 24", 1e-6}, Case{"-e floating-point -b 32", 1e-6},
                          Case{"-e u-law", 0.02}, Case{"-e a-law", 0.02}, Case{"-e signed-integer -b 8", 0.01}}) {
        SCOPED_TRACE(c.options);
        const std::string path = sf2::scratch_path("enc.aifc");
        const std::string make = "sox -n -r 8000 -c 1 " + std::string(c.options) + " -t aifc '" + path +
                                 "' synth 0.01 sine 440 vol 0.5 2>/dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0);
        const std::string reference = sf2::scratch_path("enc.f32");
        ASSERT_EQ(std::system(("sox '" + path + "' -t f32 '" + reference + "'").c_str()), 0);
        const auto ref = read_file(reference);
        AIFF_Handle* h = AIFF_OpenFile(path.c_str(), F_RDONLY);
        ASSERT_NE(h, nullptr);
        std::vector<float> got(ref.size() / 4 + 10);
        const int n = AIFF_ReadSamplesFloat(h, got.data(), static_cast<int>(got.size()));
        AIFF_CloseFile(h);
        ASSERT_EQ(static_cast<size_t>(n), ref.size() / 4);
        for (int i = 0; i < n; i++) {
            float v;
            std::memcpy(&v, ref.data() + 4 * i, 4);
            EXPECT_NEAR(got[static_cast<size_t>(i)], v, c.tolerance) << i;
        }
    }
}

TEST(AiffReaders, HostileFilesAreRefusedOrCutToTheirData)
{
    const std::string good = sf2::scratch_path("good.aif");
    const std::vector<int16_t> points = ramp(100);
    convert2Aiff(good.c_str(), points.data(), 100, 1, 16, 10, 90, 44100.0f);
    const auto bytes = read_file(good);
    struct Case {
        const char* what;
        size_t at;    // offset to overwrite, or the new length when bytes is empty
        std::vector<unsigned char> value;
        int load; // what loadAiffFile gives
    };
    const std::vector<Case> cases = {
        {"empty", 0, {}, -1},
        {"header only", 12, {}, -1},
        {"cut in the sound data", 120, {}, 33},
        {"huge frame count", 22, {0xFF, 0xFF, 0xFF, 0xFF}, 100},
        {"huge chunk size", 42, {0x7F, 0xFF, 0xFF, 0xFF}, 100},
        {"huge sound offset", 46, {0xFF, 0xFF, 0xFF, 0xF0}, 0},
        {"wrong form type", 8, {'W', 'A', 'V', 'E'}, -1},
        {"zero channels", 20, {0, 0}, 0},
        {"huge marker count", 262, {0xFF, 0xFF}, 100},
        {"huge marker name", 270, {0xFF}, 100},
        {"bits 0", 26, {0, 0}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> bad = bytes;
        if (c.value.empty()) {
            bad.resize(c.at);
        } else {
            std::copy(c.value.begin(), c.value.end(), bad.begin() + static_cast<long>(c.at));
        }
        const std::string path = sf2::scratch_path("bad.aif");
        write_file(path, bad);
        EXPECT_EQ(quietly([&] { return loadAiffFile(path.c_str()); }), c.load);
        quietly([&] { return findMarkers(path.c_str()); });
        cleanAiffFile();
    }
}

// A stereo AIFF-C file of 32-bit floats holding the given interleaved values.
std::vector<unsigned char> float_aifc(const std::vector<float>& values)
{
    std::vector<unsigned char> b;
    const auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            b.push_back(static_cast<unsigned char>(v >> shift));
        }
    };
    const auto put = [&](const char* id) { b.insert(b.end(), id, id + 4); };
    const uint32_t sound = static_cast<uint32_t>(4 * values.size());
    put("FORM");
    put32(4 + 8 + 24 + 8 + 8 + sound);
    put("AIFC");
    put("COMM");
    put32(24);
    b.insert(b.end(), {0, 2});
    put32(static_cast<uint32_t>(values.size() / 2));
    b.insert(b.end(), {0, 32, 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}); // 32 bits, 44100 Hz
    put("fl32");
    b.insert(b.end(), {0, 0});
    put("SSND");
    put32(8 + sound);
    put32(0);
    put32(0);
    for (float v : values) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        put32(u);
    }
    return b;
}

TEST(AiffReaders, FloatSamplesBeyondFullScaleClipAndNaNBecomesSilenceIn16Bit)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> in = {nan, 2.0f, -2.0f, 0.5f, inf, -inf, 1.0f, -1.0f, 1e30f, -1e-30f};
    const std::vector<int16_t> left = {0, -32768, 32767, 32767, 32767};
    const std::vector<int16_t> right = {32767, 16383, -32768, -32767, 0};
    const std::string path = sf2::scratch_path("float.aifc");
    write_file(path, float_aifc(in));
    const std::string folder = sf2::scratch_path("");
    ASSERT_EQ(quietly([&] { return convertToMonoFiles(path.c_str(), folder.c_str(), "float", 16); }), 0);
    const auto as_points = [](const std::vector<unsigned char>& bytes) {
        std::vector<int16_t> points(bytes.size() / 2);
        std::memcpy(points.data(), bytes.data(), 2 * points.size());
        return points;
    };
    EXPECT_EQ(as_points(read_file(folder + "float (L).pcm")), left);
    EXPECT_EQ(as_points(read_file(folder + "float (R).pcm")), right);
}

} // namespace
