#include "shared/patterns/MatrixTracks.h"

MatrixTracks::MatrixTracks() {
  for (int channel = 0; channel < trackCount; ++channel) {
    auto player = AUMIDISequencer::create();
    player->setMultiChannel(false);
    player->setLooping(true);
    player->setChannel(static_cast<std::uint8_t>(channel));
    tracks[static_cast<std::size_t>(channel)] = std::move(player);
  }
}
