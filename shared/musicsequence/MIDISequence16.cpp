#include "shared/musicsequence/MIDISequence16.h"

std::shared_ptr<MIDISequence16> MIDISequence16::create() {
  std::shared_ptr<MIDISequence16> sequence(new MIDISequence16());
  sequence->init();
  return sequence;
}

void MIDISequence16::init() {
  MIDISequence::init();
  maxTracks = 16;
  create(trackCount);
}
