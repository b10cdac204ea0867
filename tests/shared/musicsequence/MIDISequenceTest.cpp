#include "shared/musicsequence/MIDISequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::eventLog;
using sequencetest::lines;
using sequencetest::sequenceLog;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> errorText(OSStatus status, const std::string& explanation) {
  const std::string number = std::to_string(status);
  return {"Fehler: " + number, "The operation couldn\u2019t be completed. (OSStatus error " + number + ".)",
          explanation};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::uint32_t platformTrackCount(const MusicSequence& sequence) {
  std::uint32_t count = 0;
  EXPECT_EQ(MusicSequenceGetTrackCount(sequence, &count), noErr);
  return count;
}

void addController(const MusicTrack& track, double beat) {
  const MIDIChannelMessage message{0xB0, 7, 100, 0};
  ASSERT_EQ(MusicTrackNewMIDIChannelEvent(track, beat, &message), noErr);
}

// Records the track counts the initialisers ask for, to show that they reach an override.
class CountingSequence : public MIDISequence {
 public:
  static std::shared_ptr<CountingSequence> create() {
    std::shared_ptr<CountingSequence> sequence(new CountingSequence());
    sequence->init();
    return sequence;
  }
  using MIDISequence::create;
  void create(std::uint16_t numberOfTracks) override {
    requested.push_back(numberOfTracks);
    MIDISequence::create(numberOfTracks);
  }
  std::vector<std::uint16_t> requested;

 protected:
  CountingSequence() = default;
};

TEST(MIDISequence, NewSequencesHoldTheirTracksInThePlatformSequenceAndTheTree) {
  const auto one = MIDISequence::create();
  EXPECT_EQ(platformTrackCount(one->getMusicSequence()), 1u);
  EXPECT_EQ(one->getSequenceNode()->getTrackCount(), 1);
  EXPECT_EQ(one->maxTracks, 16);
  EXPECT_EQ(one->loadFlag, kMusicSequenceLoadSMF_ChannelsToTracks);
  EXPECT_EQ(one->currentTempo, 120.0);
  EXPECT_EQ(one->midiResolution, 480);
  EXPECT_EQ(one->getLength(), 0.0);

  const auto sixteen = MIDISequence16::create();
  EXPECT_EQ(platformTrackCount(sixteen->getMusicSequence()), 16u);
  EXPECT_EQ(sixteen->getSequenceNode()->getTrackCount(), 16);
  EXPECT_EQ(sixteen->maxTracks, 16);
  EXPECT_EQ(sixteen->getNumberOfTracks(), 16);

  EXPECT_THAT(CountingSequence::create()->requested, ElementsAre(1));
}

TEST(MIDISequence, CreateRefusesMoreTracksThanTheTreeHolds) {
  const auto sequence = MIDISequence::create();
  const MusicSequence before = sequence->getMusicSequence();
  EXPECT_EQ(capturedLog([&] { sequence->create(1001); }),
            concat({"MIDISequence::Fehler: Die Spuren für die Aufnahme konnten nicht erzeugt werden. : -50"},
                   errorText(-50, "Etwas ist fehlgeschlagen.")));
  EXPECT_EQ(sequence->getMusicSequence(), before);
  sequence->create(1000);
  EXPECT_EQ(sequence->getNumberOfTracks(), 1000);
  EXPECT_EQ(sequence->getSequenceNode()->getTrackCount(), 1000);
}

TEST(MIDISequence, LoadingAFileThatFailsLeavesSixteenEmptyTracks) {
  const testsupport::TestFolder folder;
  std::ofstream(folder.path() / "broken.mid") << "MThd";
  const struct {
    const char* name;
    OSStatus status;
  } cases[] = {{"missing.mid", kAudio_FileNotFoundError}, {"broken.mid", kAudioFileInvalidFileError}};
  for (const auto& c : cases) {
    const auto sequence = MIDISequence::create();
    const std::string number = std::to_string(c.status);
    EXPECT_EQ(capturedLog([&] { sequence->loadFromFile(folder.path() / c.name); }),
              concat({"MIDISequence::Fehler: " + number + ". \nDie MIDI Datei konnte nicht geladen werden."},
                     errorText(c.status, "Etwas ist fehlgeschlagen.")))
        << c.name;
    EXPECT_EQ(sequence->getNumberOfTracks(), 16);
    EXPECT_EQ(sequence->getSequenceNode()->getTrackCount(), 16);
    for (const auto& track : sequenceLog(sequence->getMusicSequence())) EXPECT_THAT(track, IsEmpty());
  }
}

TEST(MIDISequence, LoadingKeepsTheTreeUntilItIsRebuilt) {
  const testsupport::TestFolder folder;
  const auto file = sequencetest::midiFromCsv(folder.path(), "song", R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, End_track
2, 0, Start_track
2, 0, Note_on_c, 3, 60, 100
2, 480, Note_off_c, 3, 60, 0
2, 480, Note_on_c, 5, 62, 90
2, 960, Note_off_c, 5, 62, 0
2, 960, End_track
0, 0, End_of_file
)");
  const auto sequence = MIDISequence16::create();
  const auto tree = sequence->getSequenceNode();
  EXPECT_THAT(capturedLog([&] { sequence->loadFromFile(file); }), IsEmpty());
  EXPECT_THAT(sequenceLog(sequence->getMusicSequence()),
              ElementsAre(std::vector<std::string>{"0 tempo 120"}, std::vector<std::string>{"0 note 3 60 100 0 1"},
                          std::vector<std::string>{"1 note 5 62 90 0 1"}));
  EXPECT_EQ(sequence->getSequenceNode(), tree);
  EXPECT_EQ(tree->getTrackCount(), 16);

  sequence->loadFlag = kMusicSequenceLoadSMF_PreserveTracks;
  sequence->loadFromFile(file);
  EXPECT_EQ(sequence->getNumberOfTracks(), 1);
}

// A sixteen-track sequence at 120 beats per minute with one note on channel 2, written as the wrapper writes it.
TEST(MIDISequence, SavedFileShowsTheHeaderTempoAndNoteToMidicsvAndIsReplacedBySavingAgain) {
  const testsupport::TestFolder folder;
  const auto file = folder.path() / "song.mid";
  const auto sequence = MIDISequence16::create();
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence->getMusicSequence(), &tempo);
  MusicTrackNewExtendedTempoEvent(tempo, 0.0, 120.0);
  const MIDINoteMessage note{2, 60, 100, 0, 0.5f};
  MusicTrackNewMIDINoteEvent(sequence->getTrack(2), 1.0, &note);

  EXPECT_THAT(capturedLog([&] { sequence->saveToFile(file); }), IsEmpty());
  const auto csv = lines(sequencetest::csvFromMidi(file));
  EXPECT_EQ(csv.front(), "0, 0, Header, 1, 17, 480");
  EXPECT_THAT(csv, Contains("1, 0, Tempo, 500000"));
  EXPECT_THAT(csv, Contains("4, 480, Note_on_c, 2, 60, 100"));
  EXPECT_THAT(csv, Contains("4, 720, Note_off_c, 2, 60, 0"));

  MusicTrackNewMIDINoteEvent(sequence->getTrack(3), 2.0, &note);
  sequence->saveToFile(file);
  EXPECT_THAT(lines(sequencetest::csvFromMidi(file)), Contains("5, 960, Note_on_c, 2, 60, 100"));
}

TEST(MIDISequence, SaveFailuresAreLogged) {
  const testsupport::TestFolder folder;
  const auto sequence = MIDISequence::create();
  const auto missing = folder.path() / "missing" / "song.mid";
  EXPECT_EQ(capturedLog([&] { sequence->saveToFile(missing); }),
            concat({"MusicSequenceFileCreate: " + missing.string() + ": No such file or directory",
                    "MIDISequence::Fehler: Die MIDI Datei konnte nicht gespeichert werden. : -36"},
                   errorText(-36, "Etwas ist fehlgeschlagen.")));
  sequence->setMusicSequence(nullptr);
  EXPECT_THAT(capturedLog([&] { sequence->saveToFile(folder.path() / "song.mid"); }),
              ElementsAre("MIDISequence::Fehler: MusicSequence konnte nicht initialisiert werden."));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "song.mid"));
}

TEST(MIDISequence, TeardownKeepsAHandedInSequenceAndFreesItsOwn) {
  MusicSequence handedIn;
  NewMusicSequence(&handedIn);
  MusicTrack track;
  MusicSequenceNewTrack(handedIn, &track);
  addController(track, 0.0);
  addController(track, 2.0);
  std::weak_ptr<musicsequence::SequenceData> replaced;
  {
    const auto wrapper = MIDISequence16::create();
    replaced = wrapper->getMusicSequence();
    wrapper->setMusicSequence(handedIn);
    EXPECT_TRUE(replaced.expired()) << "a sequence the wrapper made goes when the wrapper lets go of it";
  }
  EXPECT_EQ(eventLog(track).size(), 2u);

  std::weak_ptr<musicsequence::SequenceData> created;
  {
    const auto wrapper = MIDISequence::create();
    created = wrapper->getMusicSequence();
  }
  EXPECT_TRUE(created.expired());
}

TEST(MIDISequence, ClearRemovesEveryEventOfEveryTrackAndKeepsTheTree) {
  const auto sequence = MIDISequence16::create();
  const MusicTrack onlyAtZero = sequence->getTrack(0);
  addController(onlyAtZero, 0.0);
  addController(onlyAtZero, 0.0);
  const MusicTrack notesAndEnd = sequence->getTrack(1);
  const MIDINoteMessage note{1, 60, 100, 0, 1.0f};
  MusicTrackNewMIDINoteEvent(notesAndEnd, 0.0, &note);
  addController(notesAndEnd, 1.0);
  addController(notesAndEnd, 3.0);
  const MusicTrack programOnly = sequence->getTrack(9);
  const MIDIChannelMessage program{0xC9, 24, 0, 0};
  MusicTrackNewMIDIChannelEvent(programOnly, 0.0, &program);
  const auto tree = sequence->getSequenceNode();
  sequence->sequenceLength = 3.0;

  EXPECT_THAT(capturedLog([&] { sequence->clear(); }), IsEmpty());
  for (const auto& track : sequenceLog(sequence->getMusicSequence())) EXPECT_THAT(track, IsEmpty());
  EXPECT_EQ(sequence->getLength(), 0.0);
  EXPECT_EQ(sequence->getSequenceNode(), tree);
  EXPECT_EQ(sequence->getNumberOfTracks(), 16);

  sequence->setMusicSequence(nullptr);
  EXPECT_THAT(capturedLog([&] { sequence->clear(); }),
              ElementsAre("MIDISequence::Fehler: Die Sequenz ist undefiniert."));
}

TEST(MIDISequence, ClearOfOneTrackWarnsOnlyAboutAnEmptyTrackWithALength) {
  const auto sequence = MIDISequence16::create();
  const MusicTrack track = sequence->getTrack(4);
  EXPECT_THAT(capturedLog([&] { sequence->clear(track); }), IsEmpty());
  sequence->setTrackLength(track, 8.0);
  EXPECT_THAT(capturedLog([&] { sequence->clear(track); }), ElementsAre("MIDISequence::Warnung: Die Spur ist leer."));
  addController(track, 8.0);
  addController(track, 9.5);
  EXPECT_THAT(capturedLog([&] { sequence->clear(track); }), IsEmpty());
  EXPECT_THAT(eventLog(track), IsEmpty());
  EXPECT_THAT(capturedLog([&] { EXPECT_TRUE(sequence->isTrackEmpty(MusicTrack{})); }),
              ElementsAre("MIDISequence::Fehler: Die Spur ist undefiniert."));
}

TEST(MIDISequence, TrackLookupsLogTheirFailures) {
  const auto sequence = MIDISequence16::create();
  EXPECT_EQ(capturedLog([&] { EXPECT_TRUE(sequence->getTrack(16).sequence.expired()); }),
            concat({"MIDISequence::Fehler: -10859. \nFür den Index konnte keine Spur gefunden werden."},
                   errorText(-10859, "Falscher Spur Index.")));
  EXPECT_EQ(capturedLog([&] { EXPECT_TRUE(sequence->getTrack(-1).sequence.expired()); }).size(), 4u);
  EXPECT_EQ(sequence->getTrackIndex(sequence->getTrack(7)), 7u);

  const auto other = MIDISequence::create();
  const MusicTrack foreign = other->getTrack(0);
  EXPECT_THAT(capturedLog([&] { EXPECT_EQ(sequence->getTrackIndex(foreign), 0u); }),
              ElementsAre("MIDISequence::Fehler: Der Spur Index konnte nicht ermittelt werden."));
  EXPECT_EQ(capturedLog([&] { sequence->deleteTrack(foreign); }),
            concat({"MIDISequence::Fehler: Die Spur konnte nicht gelöscht werden. : -10858"},
                   errorText(-10858, "Spur wurde nicht gefunden.")));
  sequence->deleteTrack(sequence->getTrack(0));
  EXPECT_EQ(sequence->getNumberOfTracks(), 15);

  sequence->setMusicSequence(nullptr);
  EXPECT_THAT(capturedLog([&] { EXPECT_EQ(sequence->getNumberOfTracks(), -1); }),
              ElementsAre("MIDISequence::Fehler: Die Sequenz ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->getTrack(0); }),
              ElementsAre("MIDISequence::Fehler: Die Sequenz ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->diagnostics(); }),
              ElementsAre("MIDISequence::Fehler: Die Sequenz ist undefiniert."));
}

TEST(MIDISequence, ChannelTablesAnswerZeroOutsideTheirRange) {
  const auto sequence = MIDISequence16::create();
  EXPECT_EQ(sequence->getPatchForChannel(15), 0);
  EXPECT_EQ(sequence->getPatchForChannel(16), 0);
  EXPECT_EQ(sequence->getPatchForChannel(255), 0);
  EXPECT_EQ(sequence->getChannelAssignment(0), 0);
  EXPECT_EQ(sequence->getChannelAssignment(200), 0);
}

}  // namespace
