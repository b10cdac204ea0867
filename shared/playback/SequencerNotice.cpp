#include "shared/playback/SequencerNotice.h"

#include "platform/foundation/NumberText.h"

std::vector<std::string> sequencerNoticeLines(const SequencerNotice& notice) {
    using foundation::numberText;
    const std::int64_t end = notice.cycleStart + notice.frames;
    const std::int64_t over = notice.due - end;
    const std::string tempo =
        "tempo factor: " + numberText(notice.ratio) + " (" + numberText(notice.ratio * 120.0) + ") bpm";
    switch (notice.kind) {
        case SequencerNotice::Kind::Stopped:
            return {"AUMIDISequencer::stop()"};
        case SequencerNotice::Kind::Rewound:
            return {"AUMIDISequencer::seek(0.0)"};
        case SequencerNotice::Kind::Future:
            return {"sequencer position: " + std::to_string(notice.position),
                    "AUMIDISequencer::WARNING: A MIDI events is out of the timeframe (in the future) and will be "
                    "scheduled earlier.",
                    "expected frame time: " + std::to_string(notice.cycleStart),
                    "allowed frame max: " + std::to_string(end),
                    "current: " + std::to_string(notice.due) + " (+" + std::to_string(over) + ")", tempo};
        case SequencerNotice::Kind::Past:
            return {"sequencer position: " + std::to_string(notice.position),
                    "AUMIDISequencer::WARNING: A MIDI events is out of the timeframe (in the past) and will be "
                    "scheduled now.",
                    "expected frame time: " + std::to_string(notice.cycleStart),
                    "allowed frame min: " + std::to_string(notice.cycleStart),
                    "current: " + std::to_string(notice.due) + " (" + std::to_string(over) + ")", tempo};
        case SequencerNotice::Kind::End:
        case SequencerNotice::Kind::Loop:
        case SequencerNotice::Kind::FileLoaded:
            break;
    }
    return {};
}
