#include "shared/patterns/MIDISequencer.h"

#include <algorithm>

#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NumberText.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "shared/globals/Print.h"

namespace {

void print(const std::string& line) { foundation::writeLogLine(line); }

std::optional<std::filesystem::path> findDefaultMIDIFile() {
  const auto folder = foundation::resourcesFolder();
  if (!folder) return std::nullopt;
  std::error_code error;
  const auto file = *folder / "test1.mid";
  if (!std::filesystem::exists(file, error)) return std::nullopt;
  return file;
}

}  // namespace

MIDISequencer::MIDISequencer() : defaultMIDIFile(findDefaultMIDIFile()) {}

MIDISequencer::~MIDISequencer() {
  if (sequences) sequences->delegate.reset();
  if (sequencer_) sequencer_->stop();
}

void MIDISequencer::connect(std::shared_ptr<audioengine::Engine> engine) {
  engine_ = std::move(engine);
  if (engine_ && !sequencer_) {
    sequencerEngine_ = engine_;
    sequencer_ = std::make_unique<AudioSequencer>(*sequencerEngine_);
  }
}

void MIDISequencer::connect(std::shared_ptr<AUAudioUnit> unit) { unit_ = std::move(unit); }

void MIDISequencer::resetPatches() {
  melodicPatches = {0};
  rhythmicPatches = {0};
  patches.fill(0);
}

void MIDISequencer::loadMIDIFile(const std::filesystem::path& url) {
  resetPatches();
  stop();
  lengthInSeconds_ = 0.0;
  lengthInBeats_ = 0.0;
  if (!sequencer_) return;
  if (OSStatus status = sequencer_->load(url, kMusicSequenceLoadSMF_ChannelsToTracks); status != noErr) {
    debugprint("MIDISequencer::loadMIDIFile() : ERROR: The MIDI file could not be loaded: " + std::to_string(status));
    return;
  }
  debugprint("MIDISequencer::loadMIDIFile() : The following file was loaded into the sequencer: " + url.string());
  currentMIDIFile_ = url;
  if (unit_) {
    setTrackPorts();
    sequencer_->prepareToPlay();
  }
}

void MIDISequencer::loadMIDIFileAndParse(const std::filesystem::path& url) {
  resetPatches();
  stop();
  lengthInSeconds_ = 0.0;
  lengthInBeats_ = 0.0;
  if (!sequencer_) {
    debugprint("MIDISequencer::loadMIDIFileAndParse() : ERROR: sequencer is nil");
    return;
  }
  if (sequences) sequences->delegate.reset();
  sequences = MIDISequence16::create();
  // The sequence reports to this player only while it is read; it does not own the player.
  sequences->delegate = std::shared_ptr<SequenceFoundDelegate>(std::shared_ptr<void>(), this);
  sequences->loadFromFile(url);
  sequences->musicSequenceToSequenceNode();
  sequences->delegate.reset();
  musicSequence_ = sequences->musicSequence;
  const auto data = sequenceData(musicSequence_);
  if (!data) {
    debugprint("MIDISequencer::loadMIDIFileAndParse() : ERROR: Could not receive data from music sequence.");
    return;
  }
  if (OSStatus status = sequencer_->load(*data, kMusicSequenceLoadSMF_ChannelsToTracks); status != noErr) {
    debugprint("MIDISequencer::loadMIDIFileAndParse() : ERROR: The external sequencer could not load Data. Status: " +
               std::to_string(status));
    return;
  }
  debugprint("MIDISequencer::loadMIDIFileAndParse() : The external sequencer was loaded with data.");
  currentMIDIFile_ = url;
  if (unit_) {
    setTrackPorts();
    sequencer_->prepareToPlay();
  }
}

std::optional<std::vector<std::uint8_t>> MIDISequencer::sequenceData(const MusicSequence& musicSequence) {
  std::vector<std::uint8_t> data;
  if (OSStatus status = MusicSequenceFileCreateData(musicSequence, kMusicSequenceFile_MIDIType,
                                                    kMusicSequenceFileFlags_EraseFile, 480, &data);
      status != noErr) {
    debugprint("MIDISequencer::sequenceData() : Error: Could not convert music sequence to data. Status: " +
               std::to_string(status));
    return std::nullopt;
  }
  return data;
}

void MIDISequencer::measure(const AudioSequencer::Track& track) {
  lengthInSeconds_ = std::max(lengthInSeconds_, track.lengthInSeconds);
  lengthInBeats_ = std::max(lengthInBeats_, track.lengthInBeats);
  debugprint("lengthInSeconds: " + foundation::numberText(lengthInSeconds_) +
             ", lengthInBeats: " + foundation::numberText(lengthInBeats_));
}

void MIDISequencer::setTrackPorts() {
  if (!unit_) {
    debugprint("MIDISequencer::setTrackPorts() : ERROR: The synthesizer is nil.");
    return;
  }
  sequencer_->setDestination(-1, unit_);
  for (std::size_t i = 0; i < sequencer_->tracks().size(); ++i) {
    measure(sequencer_->tracks()[i]);
    sequencer_->setDestination(static_cast<int>(i), unit_);
  }
}

void MIDISequencer::setTrackPorts(const std::vector<std::shared_ptr<AUAudioUnit>>& units) {
  if (!sequencer_ || units.empty()) return;
  sequencer_->setDestination(-1, units.front());
  for (std::size_t i = 0; i < sequencer_->tracks().size(); ++i) {
    measure(sequencer_->tracks()[i]);
    const std::uint8_t channel =
        sequences && i <= 0xFF ? sequences->getChannelAssignment(static_cast<std::uint8_t>(i)) : 0;
    if (channel >= units.size()) {
      debugprint("MIDISequencer::setTrackPorts() : ERROR: The unit count is smaller than the channel number.");
      return;
    }
    sequencer_->setDestination(static_cast<int>(i), units[channel]);
  }
}

bool MIDISequencer::isPlaying() { return sequencer_ && sequencer_->isPlaying(); }

bool MIDISequencer::start() {
  if (!sequencer_) return false;
  if (sequencer_->isPlaying()) stop();
  sequencer_->setCurrentPositionInBeats(0.0);
  if (OSStatus status = sequencer_->start(); status != noErr) {
    print("Error: The sequencer could not be started: " + std::to_string(status));
    return false;
  }
  print("The sequencer is playing.");
  return true;
}

bool MIDISequencer::pause() {
  if (!sequencer_) return false;
  if (sequencer_->isPlaying()) sequencer_->stop();
  currentPosition_ = sequencer_->currentPositionInBeats();
  print("The sequencer was paused.");
  return true;
}

bool MIDISequencer::play() {
  if (!sequencer_) return false;
  if (sequencer_->isPlaying()) stop();
  sequencer_->setCurrentPositionInBeats(currentPosition_);
  if (OSStatus status = sequencer_->start(); status != noErr) {
    sequencer_->setCurrentPositionInBeats(0.0);
    print("Error: The sequencer could not be started. Status: " + std::to_string(status));
    return false;
  }
  print("The sequencer is playing / continuing.");
  return true;
}

bool MIDISequencer::stop() {
  if (!sequencer_ || !sequencer_->isPlaying()) return false;
  sequencer_->stop();
  sequencer_->setCurrentPositionInBeats(0.0);
  print("The sequencer was stopped.");
  return true;
}

double MIDISequencer::getPosition() {
  if (!sequencer_) return 0.0;
  const double limit = lengthInSeconds_ > 0.0 ? lengthInSeconds_ + 4.0 : 5.0;
  if (sequencer_->currentPositionInSeconds() > limit) {
    if (sequencer_->isPlaying()) stop();
    sequencer_->setCurrentPositionInBeats(0.0);
    print("The sequencer has been finished.");
  }
  return sequencer_->currentPositionInBeats();
}

double MIDISequencer::getLength() const { return lengthInSeconds_ > 0.0 ? lengthInSeconds_ : 1.0; }

double MIDISequencer::getBeats() const { return lengthInBeats_ > 0.0 ? lengthInBeats_ : 1.0; }

double MIDISequencer::getTime() { return sequencer_ ? sequencer_->currentPositionInSeconds() : 0.0; }

std::map<std::string, std::any> MIDISequencer::getInfo() {
  if (!sequencer_) return {};
  return sequencer_->userInfo;
}

void MIDISequencer::setTempo(float factor) {
  if (sequencer_) sequencer_->setRate(factor);
}

void MIDISequencer::setPosition(float value) {
  if (sequencer_) sequencer_->setCurrentPositionInBeats(value);
}

std::uint8_t MIDISequencer::getPatch(int channel) const {
  return channel >= 0 && channel < static_cast<int>(patches.size()) ? patches[static_cast<std::size_t>(channel)] : 0;
}

void MIDISequencer::foundProgramChangeEvent(const std::shared_ptr<MidiProgramChangeEvent>& event) {
  if (!event) return;
  if (event->channel < patches.size()) patches[event->channel] = event->value;
  if (std::find(melodicPatches.begin(), melodicPatches.end(), event->value) == melodicPatches.end()) {
    melodicPatches.push_back(event->value);
  }
}
