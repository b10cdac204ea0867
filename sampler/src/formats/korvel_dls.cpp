#include "sampler/src/formats/korvel_dls.h"

#include "sampler/src/sys/korvel_file_limits.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/formats/korvel_dls_art.h"
#include "sampler/src/formats/korvel_dls_file.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"

namespace {

using korvel_dls::File;
using korvel_dls::Instrument;
using korvel_dls::Region;
using korvel_dls::SampleSettings;
using korvel_dls::Wave;

// Zero points after every wave, so that interpolation past a wave's end reads silence.
constexpr size_t kGuardPoints = 46;
constexpr int kCoarseOffset = 32768;
constexpr unsigned int kDrumBank = 128;
constexpr uint32_t kLoopUntilRelease = 1;
constexpr double kLoopContinuously = 1.0;
constexpr double kLoopUntilReleaseMode = 3.0;

int outOfMemory() { return korvel_log(KORVEL_ERR, "Out of memory"); }

// The whole file, or false with the failure logged.
bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    korvel_log(KORVEL_ERR, "DLS: unable to open file \"%s\"", path);
    return false;
  }
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(file) : -1;
  if (ok && size > KORVEL_BANK_FILE_LIMIT) {
    std::fclose(file);
    korvel_log(KORVEL_ERR, "DLS: file \"%s\" is larger than %ld bytes", path, KORVEL_BANK_FILE_LIMIT);
    return false;
  }
  ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (!ok) korvel_log(KORVEL_ERR, "DLS: reading file \"%s\" failed", path);
  return ok;
}

unsigned int presetBank(uint32_t bankSelect) {
  if (bankSelect & korvel_dls::kDrumBankFlag) return kDrumBank;
  unsigned int msb = (bankSelect >> 8) & 0x7f;
  unsigned int lsb = bankSelect & 0x7f;
  if (lsb == 0) return msb;
  if (msb == 0) return lsb;
  return msb * 128 + lsb;
}

// Copies every wave's points into one block and makes the pool samples. The samples are in the bank's pool as soon
// as they exist, so the bank releases them whatever happens later.
int importWaves(korvel_defsfont_t* sfont, const File& file, std::vector<korvel_sample_t*>& samples) {
  size_t points = 0;
  for (const Wave& wave : file.waves) points += wave.frames + kGuardPoints;
  if (points * sizeof(short) > UINT32_MAX) return korvel_log(KORVEL_ERR, "DLS: the waves hold too many points");
  sfont->sampledata = korvel_sample_data_new((points ? points : 1) * sizeof(short));
  if (!sfont->sampledata) return outOfMemory();
  sfont->samplepos = 0;
  sfont->samplesize = static_cast<unsigned int>(points * sizeof(short));

  unsigned int start = 0;
  for (size_t w = 0; w < file.waves.size(); ++w) {
    const Wave& wave = file.waves[w];
    for (uint32_t i = 0; i < wave.frames; ++i)
      sfont->sampledata[start + i] = static_cast<short>(wave.points[2 * i] | wave.points[2 * i + 1] << 8);
    korvel_sample_t* sample = new_korvel_sample();
    if (!sample) return -1;
    if (korvel_defsfont_add_sample(sfont, sample) != 0) {
      delete_korvel_sample(sample);
      return -1;
    }
    std::string name = wave.name.empty() ? "Wave " + std::to_string(w) : wave.name;
    korvel_sample_set_name(sample, name.c_str());
    sample->uid = generate_sample_uid();
    sample->data = sfont->sampledata;
    sample->data_points = static_cast<unsigned int>(points);
    sample->pstart = start;
    sample->pend = start + wave.frames - 1;
    sample->size = wave.frames - 1;
    sample->lstart = sample->pstart;
    sample->lend = sample->pend;
    if (wave.sample.looped) {
      sample->lstart = start + wave.sample.loop.start;
      sample->lend = sample->lstart + wave.sample.loop.length;
    }
    sample->rate = wave.rate;
    sample->pitch = wave.sample.unityNote;
    sample->adjust = wave.sample.fineTune;
    sample->type = 1;
    sample->attenuation_in_full = 1;
    korvel_voice_optimize_sample(sample);
    samples.push_back(sample);
    start += static_cast<unsigned int>(wave.frames + kGuardPoints);
  }
  return 0;
}

void setGen(korvel_inst_zone_t* zone, int number, double value) {
  zone->gen[number].val = value;
  zone->gen[number].flags = GEN_SET;
}

void addGen(korvel_inst_zone_t* zone, int number, double value) {
  if (zone->gen[number].flags == GEN_SET)
    zone->gen[number].val += value;
  else
    setGen(zone, number, value);
}

// A loop point given relative to the wave, as an offset from the sample's own loop point in fine and coarse parts.
void setLoopOffset(korvel_inst_zone_t* zone, int fine, int coarse, long offset) {
  if (offset / kCoarseOffset != 0) setGen(zone, coarse, static_cast<double>(offset / kCoarseOffset));
  if (offset % kCoarseOffset != 0) setGen(zone, fine, static_cast<double>(offset % kCoarseOffset));
}

// The region's own sample record, where it has one, holds over the wave's: root key, fine tune, attenuation and
// loop. The wave's root key, correction and loop are already the sample's own.
void describeRegion(korvel_inst_zone_t* zone, const Instrument& instrument, const Region& region,
                    korvel_sample_t* sample, const SampleSettings& waveSettings) {
  zone->sample = sample;
  zone->keylo = region.keyLow;
  zone->keyhi = region.keyHigh;
  zone->vello = region.velLow;
  zone->velhi = region.velHigh;
  korvel_dls::applyConnections(region.articulated ? region.connections : instrument.connections, zone->gen);
  if (region.keyGroup != 0) setGen(zone, GEN_EXCLUSIVECLASS, region.keyGroup);

  const SampleSettings& settings = region.sample.present ? region.sample : waveSettings;
  if (region.sample.present) {
    setGen(zone, GEN_OVERRIDEROOTKEY, settings.unityNote);
    addGen(zone, GEN_FINETUNE, settings.fineTune);
    long loopStart = static_cast<long>(sample->pstart);
    long loopEnd = static_cast<long>(sample->pend);
    if (settings.looped) {
      loopStart += settings.loop.start;
      loopEnd = loopStart + settings.loop.length;
    }
    setLoopOffset(zone, GEN_STARTLOOPADDROFS, GEN_STARTLOOPADDRCOARSEOFS, loopStart - static_cast<long>(sample->lstart));
    setLoopOffset(zone, GEN_ENDLOOPADDROFS, GEN_ENDLOOPADDRCOARSEOFS, loopEnd - static_cast<long>(sample->lend));
  }
  if (settings.attenuation != 0) addGen(zone, GEN_ATTENUATION, -(settings.attenuation / 65536.0));
  if (settings.looped)
    setGen(zone, GEN_SAMPLEMODE, settings.loop.type == kLoopUntilRelease ? kLoopUntilReleaseMode : kLoopContinuously);
}

int importInstrument(korvel_defsfont_t* sfont, const File& file, const Instrument& instrument,
                     const std::vector<korvel_sample_t*>& samples) {
  korvel_inst_t* inst = new_korvel_inst();
  if (!inst) return -1;
  if (korvel_defsfont_add_instrument(sfont, inst) != 0) {
    delete_korvel_inst(inst);
    return -1;
  }
  inst->uid = generate_instrument_uid();
  unsigned int bank = presetBank(instrument.bank);
  std::string name = instrument.name;
  if (name.empty()) name = "Untitled";
  korvel_inst_set_name(inst, name.c_str());

  int count = 0;
  for (const Region& region : instrument.regions) {
    std::string zoneName = name + "/" + std::to_string(++count);
    korvel_inst_zone_t* zone = new_korvel_inst_zone(zoneName.c_str());
    if (!zone) return -1;
    korvel_inst_add_zone(inst, zone);
    size_t wave = file.waveOfCue[region.tableIndex];
    describeRegion(zone, instrument, region, samples[wave], file.waves[wave].sample);
  }
  int id = 0;
  for (korvel_inst_zone_t* zone = inst->zone; zone; zone = zone->next) zone->id = ++id;

  korvel_defpreset_t* preset = new_korvel_defpreset(sfont);
  if (!preset) return -1;
  preset->uid = generate_preset_uid();
  preset->bank = bank;
  preset->num = instrument.program;
  if (instrument.name.empty()) {
    char fallback[64];
    std::snprintf(fallback, sizeof fallback, "Preset Bank %u, Preset %u", bank, instrument.program);
    korvel_defpreset_set_name(preset, fallback);
  } else {
    korvel_defpreset_set_name(preset, instrument.name.c_str());
  }
  korvel_preset_zone_t* zone = new_korvel_preset_zone((std::string(preset->name) + "/1").c_str());
  if (!zone) {
    delete_korvel_defpreset(preset);
    return -1;
  }
  zone->inst = inst;
  zone->id = 1;
  korvel_defpreset_add_zone(preset, zone);
  if (korvel_defsfont_add_preset(sfont, preset) != 0) {
    delete_korvel_defpreset(preset);
    return -1;
  }
  return 0;
}

int load(korvel_defsfont_t* sfont, const char* path) {
  if (sfont->filename || sfont->sampledata) return korvel_log(KORVEL_ERR, "DLS: the bank already holds a file");
  std::vector<uint8_t> bytes;
  if (!readWholeFile(path, bytes)) return -1;
  File file;
  if (korvel_dls::parseFile(bytes.data(), bytes.size(), file) != 0) return -1;

  sfont->filename = strdup(path);
  if (!sfont->filename) return outOfMemory();
  std::vector<korvel_sample_t*> samples;
  if (importWaves(sfont, file, samples) != 0) return -1;
  for (const Instrument& instrument : file.instruments)
    if (importInstrument(sfont, file, instrument, samples) != 0) return -1;
  return 0;
}

}  // namespace

extern "C" {

int korvel_is_dls(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return 0;
  unsigned char header[12];
  bool dls = std::fread(header, 1, sizeof header, file) == sizeof header && std::memcmp(header, "RIFF", 4) == 0 &&
             std::memcmp(header + 8, "DLS ", 4) == 0;
  std::fclose(file);
  return dls ? 1 : 0;
}

int korvel_dls_load(korvel_defsfont_t* sfont, const char* path) {
  try {
    return load(sfont, path);
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
}

}  // extern "C"
