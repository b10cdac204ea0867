#include "sampler/src/midi/korvel_audio_driver.h"

#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

struct DriverRow {
    const char* name;
    korvel_audio_driver_t* (*create)(korvel_settings_t* settings, korvel_synth_t* synth);
    korvel_audio_driver_t* (*create2)(korvel_settings_t* settings, korvel_audio_func_t callback,
                                      korvel_synth_t* data);
    int (*destroy)(korvel_audio_driver_t* driver);
};

constexpr DriverRow drivers[] = {
    {"iosaudio", new_korvel_ios_audio_driver, new_korvel_ios_audio_driver2, delete_korvel_ios_audio_driver},
};

// The row that "audio.driver" names; null with the error line.
const DriverRow* requested_row(korvel_settings_t* settings, bool with_callback)
{
    const char* name = nullptr;
    korvel_settings_getstr(settings, "audio.driver", &name);
    for (const DriverRow& row : drivers) {
        if (name != nullptr && std::strcmp(row.name, name) == 0 && (!with_callback || row.create2 != nullptr)) {
            korvel_log(KORVEL_DBG, "Using '%s' audio driver\n", row.name);
            return &row;
        }
    }
    korvel_log(KORVEL_ERR, "Couldn't find the requested audio driver: %s", name != nullptr ? name : "(null)");
    return nullptr;
}

korvel_audio_driver_t* named(korvel_audio_driver_t* driver, const DriverRow* row)
{
    if (driver != nullptr) {
        driver->name = row->name;
    }
    return driver;
}

} // namespace

extern "C" {

korvel_audio_driver_t* new_korvel_audio_driver(korvel_settings_t* settings, korvel_synth_t* synth)
{
    const DriverRow* row = requested_row(settings, false);
    return row != nullptr ? named(row->create(settings, synth), row) : nullptr;
}

korvel_audio_driver_t* new_korvel_audio_driver2(korvel_settings_t* settings, korvel_audio_func_t callback,
                                                korvel_synth_t* data)
{
    const DriverRow* row = requested_row(settings, true);
    return row != nullptr ? named(row->create2(settings, callback, data), row) : nullptr;
}

void delete_korvel_audio_driver(korvel_audio_driver_t* driver)
{
    if (driver == nullptr) {
        return;
    }
    for (const DriverRow& row : drivers) {
        if (row.name == driver->name) {
            row.destroy(driver);
            return;
        }
    }
}

korvel_audio_driver_t* new_korvel_ios_audio_driver(korvel_settings_t* settings, korvel_synth_t* synth)
{
    return new_korvel_ios_audio_driver2(settings, korvel_synth_process, synth);
}

korvel_audio_driver_t* new_korvel_ios_audio_driver2(korvel_settings_t*, korvel_audio_func_t callback,
                                                    korvel_synth_t* synth)
{
    if (synth == nullptr) {
        return nullptr;
    }
    auto* dev = new (std::nothrow) korvel_ios_audio_driver_t{};
    float* left = new (std::nothrow) float[KORVEL_IOS_AUDIO_BUFSIZE]{};
    float* right = new (std::nothrow) float[KORVEL_IOS_AUDIO_BUFSIZE]{};
    if (dev == nullptr || left == nullptr || right == nullptr) {
        delete dev;
        delete[] left;
        delete[] right;
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    dev->callback = callback;
    dev->data = synth;
    dev->buffer_size = KORVEL_IOS_AUDIO_BUFSIZE;
    dev->left = left;
    dev->right = right;
    korvel_log(KORVEL_DBG, "iOS AU DRIVER USES CURRENTLY FOLLOWING AUDIO SETUP:");
    korvel_log(KORVEL_DBG, "SampleRate %d", static_cast<int>(synth->sample_rate));
    korvel_log(KORVEL_DBG, "ChannelsPerFrame %d", 1);
    korvel_log(KORVEL_DBG, "ChannelCount %d", 2);
    korvel_log(KORVEL_DBG, "BitsPerChannel %d", 32);
    korvel_log(KORVEL_DBG, "Buffersize initialized to %d samples", dev->buffer_size);
    return &dev->driver;
}

int delete_korvel_ios_audio_driver(korvel_audio_driver_t* driver)
{
    auto* dev = reinterpret_cast<korvel_ios_audio_driver_t*>(driver);
    if (dev != nullptr) {
        delete[] dev->left;
        delete[] dev->right;
        delete dev;
    }
    return 0;
}

int korvel_ios_audio_callback(int frames, float* left, float* right, korvel_audio_driver_t* driver)
{
    auto* dev = reinterpret_cast<korvel_ios_audio_driver_t*>(driver);
    if (frames > dev->buffer_size) {
        return -1;
    }
    if (frames <= 0) {
        return 0;
    }
    dev->frames = static_cast<unsigned int>(frames);
    korvel_synth_write_float(dev->data, frames, dev->left, 0, 1, dev->right, 0, 1);
    std::copy_n(dev->left, frames, left);
    std::copy_n(dev->right, frames, right);
    return 0;
}

} // extern "C"
