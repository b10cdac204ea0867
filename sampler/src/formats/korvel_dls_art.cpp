#include "sampler/src/formats/korvel_dls_art.h"

namespace korvel_dls {
namespace {

enum class Unit {
  Same,     // the generator takes the value as it is
  Negated,  // a gain becomes an attenuation
  Sustain,  // level in 0.1 % becomes the drop from full level in 0.1 %
  PerKey,   // an amount over 128 keys becomes an amount per key
  KeyTime,  // a time change over 128 keys becomes the per-key decrease around key 60
};

struct Route {
  uint16_t source;
  uint16_t destination;
  int generator;
  Unit unit;
  int baseGenerator;  // KeyTime only: the time the key scaling is centred on
};

constexpr Route kRoutes[] = {
    {kSrcNone, kDstGain, GEN_ATTENUATION, Unit::Negated, -1},
    {kSrcNone, kDstPitch, GEN_FINETUNE, Unit::Same, -1},
    {kSrcNone, kDstPan, GEN_PAN, Unit::Same, -1},
    {kSrcNone, kDstChorus, GEN_CHORUSSEND, Unit::Same, -1},
    {kSrcNone, kDstReverb, GEN_REVERBSEND, Unit::Same, -1},
    {kSrcNone, kDstLfoFrequency, GEN_MODLFOFREQ, Unit::Same, -1},
    {kSrcNone, kDstLfoDelay, GEN_MODLFODELAY, Unit::Same, -1},
    {kSrcNone, kDstVibratoFrequency, GEN_VIBLFOFREQ, Unit::Same, -1},
    {kSrcNone, kDstVibratoDelay, GEN_VIBLFODELAY, Unit::Same, -1},
    {kSrcNone, kDstFilterCutoff, GEN_FILTERFC, Unit::Same, -1},
    {kSrcNone, kDstFilterQ, GEN_FILTERQ, Unit::Same, -1},
    {kSrcNone, kDstEg1Delay, GEN_VOLENVDELAY, Unit::Same, -1},
    {kSrcNone, kDstEg1Attack, GEN_VOLENVATTACK, Unit::Same, -1},
    {kSrcNone, kDstEg1Hold, GEN_VOLENVHOLD, Unit::Same, -1},
    {kSrcNone, kDstEg1Decay, GEN_VOLENVDECAY, Unit::Same, -1},
    {kSrcNone, kDstEg1Sustain, GEN_VOLENVSUSTAIN, Unit::Sustain, -1},
    {kSrcNone, kDstEg1Release, GEN_VOLENVRELEASE, Unit::Same, -1},
    {kSrcNone, kDstEg2Delay, GEN_MODENVDELAY, Unit::Same, -1},
    {kSrcNone, kDstEg2Attack, GEN_MODENVATTACK, Unit::Same, -1},
    {kSrcNone, kDstEg2Hold, GEN_MODENVHOLD, Unit::Same, -1},
    {kSrcNone, kDstEg2Decay, GEN_MODENVDECAY, Unit::Same, -1},
    {kSrcNone, kDstEg2Sustain, GEN_MODENVSUSTAIN, Unit::Sustain, -1},
    {kSrcNone, kDstEg2Release, GEN_MODENVRELEASE, Unit::Same, -1},
    {kSrcLfo, kDstPitch, GEN_MODLFOTOPITCH, Unit::Same, -1},
    {kSrcLfo, kDstGain, GEN_MODLFOTOVOL, Unit::Negated, -1},
    {kSrcLfo, kDstFilterCutoff, GEN_MODLFOTOFILTERFC, Unit::Same, -1},
    {kSrcVibrato, kDstPitch, GEN_VIBLFOTOPITCH, Unit::Same, -1},
    {kSrcEg2, kDstPitch, GEN_MODENVTOPITCH, Unit::Same, -1},
    {kSrcEg2, kDstFilterCutoff, GEN_MODENVTOFILTERFC, Unit::Same, -1},
    {kSrcKeyNumber, kDstPitch, GEN_SCALETUNE, Unit::PerKey, -1},
    {kSrcKeyNumber, kDstEg1Hold, GEN_KEYTOVOLENVHOLD, Unit::KeyTime, GEN_VOLENVHOLD},
    {kSrcKeyNumber, kDstEg1Decay, GEN_KEYTOVOLENVDECAY, Unit::KeyTime, GEN_VOLENVDECAY},
    {kSrcKeyNumber, kDstEg2Hold, GEN_KEYTOMODENVHOLD, Unit::KeyTime, GEN_MODENVHOLD},
    {kSrcKeyNumber, kDstEg2Decay, GEN_KEYTOMODENVDECAY, Unit::KeyTime, GEN_MODENVDECAY},
};

constexpr int kKeys = 128;
constexpr int kCentreKey = 60;

const Route* findRoute(const Connection& connection) {
  if (connection.control != kSrcNone) return nullptr;
  for (const Route& route : kRoutes)
    if (route.source == connection.source && route.destination == connection.destination) return &route;
  return nullptr;
}

// The first connection to a generator replaces its default by origin + value; later ones add their value.
void add(korvel_zone_gen_t* gen, bool* written, int number, double value, double origin = 0.0) {
  if (written[number]) {
    gen[number].val += value;
  } else {
    gen[number].val = origin + value;
    written[number] = true;
  }
  gen[number].flags = GEN_SET;
}

}  // namespace

void applyConnections(const std::vector<Connection>& connections, korvel_zone_gen_t* gen) {
  bool written[GEN_LAST] = {};
  // Key scaling is centred on the times, so the times go first.
  for (bool keyTimes : {false, true}) {
    for (const Connection& connection : connections) {
      const Route* route = findRoute(connection);
      if (!route || (route->unit == Unit::KeyTime) != keyTimes) continue;
      double value = connection.scale / 65536.0;
      switch (route->unit) {
        case Unit::Same:
          add(gen, written, route->generator, value);
          break;
        case Unit::Negated:
          add(gen, written, route->generator, -value);
          break;
        case Unit::Sustain:
          add(gen, written, route->generator, -value, 1000.0);
          break;
        case Unit::PerKey:
          add(gen, written, route->generator, value / kKeys);
          break;
        case Unit::KeyTime:
          // base + value * key / 128 = (base + value * 60 / 128) + (60 - key) * (-value / 128)
          add(gen, written, route->generator, -value / kKeys);
          add(gen, written, route->baseGenerator, value * kCentreKey / kKeys, gen[route->baseGenerator].val);
          break;
      }
    }
  }
}

}  // namespace korvel_dls
