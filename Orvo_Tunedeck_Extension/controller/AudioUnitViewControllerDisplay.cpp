// The display loop: what the unit played, drained from its monitor into the panel and the overlay, and the file
// player's progress.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "shared/globals/Print.h"

void AudioUnitViewController::onTimer() {
    if (!audioUnit_ || audioUnit_->shouldBypassEffect() || !isViewLoaded()) return;
    const auto& monitor = audioUnit_->monitor();
    if (!isViewVisible(view())) {
        monitor->popMonitoring();
        counter = 0;
        return;
    }
    ++counter;
    while (const auto event = monitor->popMonitoring()) {
        showMonitoredEvent(*event);
    }
    tunedeckOverlay->setNeedsDisplay();
    const auto& player = audioUnit_->sequencer();
    const double samplerate = player->samplerate();
    const double position = samplerate > 0 ? static_cast<double>(player->sequencerPositionV()) / samplerate : 0.0;
    updateProgress(position, player->getDurationInSeconds());
    // The player's state follows its commands with the next render call: the play button catches up here.
    if (tunedeckView->baseClass.isPlaying != player->isPlaying() ||
        tunedeckView->baseClass.isPlayAvailable != audioUnit_->hostPullsSound())
        updatePlayButton();
}

void AudioUnitViewController::showMonitoredEvent(const AUMIDIEventEx& event) {
    const AUMIDIEvent record = event.event();
    const std::uint8_t status = record.data[0];
    const std::uint8_t c = status & 0x0F;
    const std::uint8_t d1 = record.data[1];
    const std::uint8_t d2 = record.data[2];
    switch (status & 0xF0) {
        case 0x80:
            tunedeckOverlay->setNote(c, d1, 0);
            break;
        case 0x90:
            tunedeckOverlay->setNote(c, d1, d2);
            break;
        case 0xB0:
            tunedeckOverlay->setController(c, d2);
            switch (d1) {
                case 0:
                    tunedeckView->setBankMSB(c, d2);
                    break;
                case 7:
                    tunedeckView->setVolume(c, d2);
                    break;
                case 10:
                    tunedeckView->setPan(c, d2);
                    break;
                case 32:
                    tunedeckView->setBankLSB(c, d2);
                    break;
                case 64:
                case 69:
                    if (d2 == 0) tunedeckOverlay->setNotesOff(c);
                    break;
                case 123:
                    tunedeckOverlay->setNotesOff(c);
                    break;
                default:
                    break;
            }
            break;
        case 0xC0:
            tunedeckView->setProgram(c, d1);
            break;
        case 0xE0:
            tunedeckOverlay->setController(c, d2);
            break;
        default:
            break;
    }
}

void AudioUnitViewController::updateProgress(double position, double duration) {
    double ratio = 0.0;
    if (duration > 0) {
        ratio = position / duration;
        if (ratio != lastProgress_) {
            lastProgress_ = ratio;
            ended_ = false;
        } else if (ratio > 1.0 && !ended_) {
            // The player takes the stop and the next file with its next render call; until then it still shows the
            // old position, which must not end the new file as well.
            ended_ = true;
            sequencerComplete();
        }
    }
    if (!audioUnit_ || !audioUnit_->sequencer()->isPlaying()) return;
    if (counter % 6 == 0 && sliderProgress) {
        sliderProgress->setValue(static_cast<float>(ratio));
    }
    if (counter % 60 == 0) {
        tunedeckView->setProgress(static_cast<float>(ratio));
    }
}

void AudioUnitViewController::updatePlayButton() {
    if (!audioUnit_ || !tunedeckView) return;
    const bool playing = audioUnit_->sequencer()->isPlaying();
    const bool available = audioUnit_->hostPullsSound();
    const std::string picture = playing ? "Pause Icon" : "Play Icon";
    if (buttonPlay && buttonPlay->imageName() != picture) {
        buttonPlay->setImageName(picture);
        showButtonPicture(*buttonPlay);
    }
    // A playing song can always be paused; one can only be started while the host pulls sound.
    if (buttonPlay && buttonPlay->isEnabled != (playing || available)) {
        buttonPlay->isEnabled = playing || available;
        buttonPlay->setNeedsDisplay();
    }
    tunedeckView->setPlaying(playing);
    tunedeckView->setPlayAvailable(available);
}

void AudioUnitViewController::sequencerComplete() {
    safeprint("sequencer complete");
    audioUnit_->sequencer()->stop();
    updatePlayButton();
    resetViews();
    loadSelectedFile();
}

void AudioUnitViewController::resetViews() {
    if (tunedeckView) tunedeckView->reset();
}
