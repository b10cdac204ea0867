#include "shared/patterns/MIDIPattern.h"

#include <utility>

#include "platform/foundation/Log.h"
#include "platform/foundation/NumberText.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kNoSourceTrack = "Fehler: Die Quell Spur ist undefiniert.";
constexpr const char* kMergeFailed = "Fehler: Die Spuren konnten nicht zusammengeführt werden.";

void print(const std::string& line) { foundation::writeLogLine(line); }

}  // namespace

std::shared_ptr<MIDIPattern> MIDIPattern::create() {
  std::shared_ptr<MIDIPattern> pattern(new MIDIPattern());
  pattern->init();
  return pattern;
}

void MIDIPattern::init() {
  MIDISequence::init();
  maxTracks = 1;
  loadFlag = kMusicSequenceLoadSMF_PreserveTracks;
}

void MIDIPattern::create(std::uint16_t) {
  musicTrack.reset();
  if (OSStatus status = NewMusicSequence(&musicSequence); status != noErr) {
    return print("51 Fehler: " + std::to_string(status) + ". \nEs konnte keine Sequenz erzeugt werden.");
  }
  MusicTrack track;
  if (OSStatus status = MusicSequenceNewTrack(musicSequence, &track); status != noErr) {
    return print("Fehler: Die interne Spur konnte nicht erzeugt werden. : " + std::to_string(status));
  }
  musicTrack = track;
}

MusicTrack MIDIPattern::getTrack(int) { return musicTrack.value_or(MusicTrack{}); }

double MIDIPattern::getLength() {
  double length = 0.0;
  std::uint32_t size = sizeof length;
  if (OSStatus status = MusicTrackGetProperty(getTrack(0), kSequenceTrackProperty_TrackLength, &length, &size);
      status != noErr) {
    print("83 Fehler: " + std::to_string(status) + ". \nDie Länge der Spur konnte nicht ermittelt werden.");
    return 0.0;
  }
  return length;
}

bool MIDIPattern::check(double& from, double& to) {
  const double length = getLength();
  if (from < 0.0) {
    from = 0.0;
    print("Warnung: Die Anfangsposition ist kleiner als 0.0.");
  } else if (from > length) {
    from = length;
    print("Warnung: Die Anfangsposition ist größer als die Länge " + foundation::numberText(length) + ".");
  }
  if (to < 0.0) {
    to = 0.0;
    print("Warnung: Die Endposition ist kleiner als 0.0.");
  } else if (to > length) {
    to = length;
    print("Warnung: Die Endposition ist größer als die Länge " + foundation::numberText(length) + ".");
  }
  if (to < from) {
    std::swap(from, to);
    print("Warnung: Die Anfangsposition ist größer als die Endposition.");
  }
  if (from == to) {
    print("Fehler: Die Anfangsposition ist gleich der Endposition.");
    return false;
  }
  return true;
}

bool MIDIPattern::check(double& to) {
  const double length = getLength();
  if (to < 0.0) {
    to = 0.0;
    print("Warnung: Die Zielposition ist 0.0.");
  } else if (to > length) {
    to = length;
    print("Warnung: Die Zielposition ist kleiner die Länge " + foundation::numberText(length) + ".");
  }
  return true;
}

void MIDIPattern::clearRange(double from, double to) {
  if (!check(from, to)) return;
  if (MusicTrackClear(getTrack(0), from, to) != noErr) print("Fehler: Die Spur konnte nicht geleert werden.");
}

void MIDIPattern::cut(double from, double to) {
  if (!check(from, to)) return;
  if (MusicTrackCut(getTrack(0), from, to) != noErr) print("Fehler: Die Events konnten nicht ausgeschnitten werden.");
}

void MIDIPattern::move(double begin, double end, double to) {
  if (!check(begin, end)) return;
  check(to);
  if (MusicTrackMoveEvents(getTrack(0), begin, end, to) != noErr) {
    print("Fehler: Die Events konnten nicht verschoben werden.");
  }
}

void MIDIPattern::mergeFrom(const std::shared_ptr<MIDIPattern>& other) {
  if (!other) return print(kNoSourceTrack);
  mergeFrom(other, 0.0, other->getLength(), 0.0);
}

void MIDIPattern::mergeFrom(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to) {
  if (!other) return print(kNoSourceTrack);
  if (!other->check(begin, end)) return;
  check(to);
  if (MusicTrackMerge(other->getTrack(0), begin, end, getTrack(0), to) != noErr) print(kMergeFailed);
}

void MIDIPattern::mergeTo(const std::shared_ptr<MIDIPattern>& other) {
  if (!other) return print(kNoSourceTrack);
  mergeTo(other, 0.0, getLength(), 0.0);
}

void MIDIPattern::mergeTo(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to) {
  if (!other) return print(kNoSourceTrack);
  if (!check(begin, end)) return;
  other->check(to);
  if (MusicTrackMerge(getTrack(0), begin, end, other->getTrack(0), to) != noErr) print(kMergeFailed);
}

void MIDIPattern::copyFrom(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to) {
  if (!other) return;
  if (!other->check(begin, end)) return;
  check(to);
  if (MusicTrackCopyInsert(other->getTrack(0), begin, end, getTrack(0), to) != noErr) {
    print("Fehler: Die Events konnten nicht in diese Spur eingefügt werden.");
  }
}

void MIDIPattern::copyTo(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to) {
  if (!other) return;
  if (!check(begin, end)) return;
  other->check(to);
  if (MusicTrackCopyInsert(getTrack(0), begin, end, other->getTrack(0), to) != noErr) {
    print("Fehler: Die Events konnten nicht in die andere Spur eingefügt werden.");
  }
}

bool MIDIPattern::hasTarget() {
  if (!musicSequence) {
    print("Fehler: Die Ziel Sequenz ist undefiniert.");
    return false;
  }
  if (!musicTrack) {
    print("Fehler: Die Ziel Spur ist undefiniert.");
    return false;
  }
  return true;
}

void MIDIPattern::writePattern(const PatternNode& patternNode) {
  for (const auto& event : patternNode.events) eventsToMusicTrack(event, *musicTrack, 0.0);
  const double length = static_cast<double>(patternNode.bars) * patternNode.beats;
  setTrackLength(*musicTrack, length);
  if (patternNode.loop) setLoopInfo(*musicTrack, 0.0, length + 1.0, 0);
  if (patternNode.mute) setMuteStatus(*musicTrack, true);
  if (patternNode.solo) setSoloStatus(*musicTrack, true);
  if (patternNode.offset >= 0.0) setOfssetTime(*musicTrack, patternNode.offset);
}

void MIDIPattern::patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode, const MusicTrack&) {
  if (!hasTarget()) return;
  if (!patternNode) return print("Fehler: Das Quell Pattern ist undefiniert.");
  clear(*musicTrack);
  writePattern(*patternNode);
}

void MIDIPattern::patternNodeToMusicSequence(const std::shared_ptr<PatternNode>& patternNode) {
  clear();
  patternNodeToMusicTrack(patternNode, getTrack(0));
}

void MIDIPattern::trackNodeToMusicTrack(const std::shared_ptr<TrackNode>& trackNode, const MusicTrack&) {
  if (!hasTarget()) return;
  if (!trackNode) return print(kNoSourceTrack);
  clear(*musicTrack);
  for (const auto& event : trackNode->events) eventsToMusicTrack(event, *musicTrack, 0.0);
  for (const auto& pattern : trackNode->patterns) writePattern(*pattern);
}

void MIDIPattern::trackNodeToMusicSequence(const std::shared_ptr<TrackNode>& trackNode) {
  clear();
  trackNodeToMusicTrack(trackNode, getTrack(0));
}

void MIDIPattern::sequenceNodeToMusicSequence() {
  if (!sequenceNode) return print(kNoSourceTrack);
  clear();
  trackNodeToMusicTrack(sequenceNode->getTrack(0), getTrack(0));
}

void MIDIPattern::saveToFile(const std::filesystem::path& url) {
  if (!musicSequence) {
    safeprint("MIDISequence::Fehler: MusicSequence konnte nicht initialisiert werden.");
    return;
  }
  if (sequenceNode) sequenceNodeToMusicSequence();
  MIDISequence::saveToFile(url);
}

void MIDIPattern::loadFromFile(const std::filesystem::path& url) {
  MIDISequence::loadFromFile(url);
  MusicTrack first;
  if (musicSequence && MusicSequenceGetIndTrack(musicSequence, 0, &first) == noErr) {
    musicTrack = first;
  } else if (musicSequence && MusicSequenceNewTrack(musicSequence, &first) == noErr) {
    musicTrack = first;
  } else {
    musicTrack.reset();
  }
  if (!sequenceNode) sequenceNode = SequenceNode::create();
  musicSequenceToSequenceNode();
}

void MIDIPattern::setChannel(std::uint8_t) {}
