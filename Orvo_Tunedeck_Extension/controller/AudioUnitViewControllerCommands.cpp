// What the panel, the browsers, the picker and the tool buttons ask of the controller.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "shared/globals/Print.h"

void AudioUnitViewController::onTunedeckViewParameter(int address, float value) {
    if (audioUnit_) audioUnit_->setParameter(address, value);
}

void AudioUnitViewController::onTunedeckViewOption(int address, float value) {
    if (address >= TunedeckView::kOptionOpenFile && address <= TunedeckView::kOptionFiles) {
        switch (address) {
            case TunedeckView::kOptionOpenFile:
                openFilePicker();
                break;
            case TunedeckView::kOptionPrograms:
                performSegue("showPrograms");
                break;
            case TunedeckView::kOptionPanic:
                if (audioUnit_) audioUnit_->setParameter(TunedeckView::kOptionPanic, value);
                break;
            case TunedeckView::kOptionPlay:
                if (audioUnit_) {
                    audioUnit_->continueSequencer();
                    updatePlayButton();
                }
                break;
            case TunedeckView::kOptionPause:
                if (audioUnit_) {
                    audioUnit_->sequencer()->pause();
                    updatePlayButton();
                }
                break;
            case TunedeckView::kOptionFiles:
                performSegue("showFiles");
                break;
            default:
                break;
        }
        return;
    }
    if ((address == TunedeckView::kVolume || address == TunedeckView::kTranspose) && audioUnit_) {
        audioUnit_->setParameter(address, value);
    }
}

void AudioUnitViewController::performSegue(const std::string& identifier) {
    safeprint(identifier);
    if (segueHandler) {
        segueHandler(*this, identifier);
    } else {
        safeprint("AudioUnitViewController::performSegue() : WARNING: No screen for '" + identifier + "'.");
    }
}

void AudioUnitViewController::openFilePicker() {
    if (documentPickerPresenter) {
        documentPickerPresenter(*this);
    } else {
        safeprint("AudioUnitViewController::openFilePicker() : WARNING: No document picker.");
    }
}

void AudioUnitViewController::documentPicker(const std::vector<std::string>& paths) {
    std::string listed;
    for (const std::string& path : paths) listed += (listed.empty() ? "" : ", ") + path;
    safeprint("documentPicker: [" + listed + "]");
    if (!paths.empty()) loadFile(paths.front());
}

void AudioUnitViewController::documentPickerWasCancelled() { safeprint("The document picker was canceled."); }

void AudioUnitViewController::onProgramSelect(int, const SoundfontProgram& program) {
    selectProgram(program.number, program.bankMsb, program.bankLsb);
}

void AudioUnitViewController::onMIDIFileSelect(int, const std::string& path) { loadFile(path); }

void AudioUnitViewController::selectProgram(std::uint8_t number, std::uint8_t msb, std::uint8_t lsb) {
    if (!tunedeckView) return;
    const int channel = tunedeckView->baseClass.valueSelected;
    tunedeckView->setProgram(msb, lsb, number);
    if (!audioUnit_ || channel < 0 || channel > 15) return;
    const auto c = static_cast<std::uint8_t>(channel);
    const auto& player = audioUnit_->sequencer();
    player->sendEvent(c, 0xB0, 0, msb);
    player->sendEvent(c, 0xB0, 32, lsb);
    player->sendEvent(c, 0xC0, number, 0);
}

void AudioUnitViewController::onButtonPlay() {
    if (!audioUnit_ || !audioUnit_->sequencer()->currentFile()) return;
    if (audioUnit_->sequencer()->isPlaying()) {
        audioUnit_->sequencer()->pause();
    } else {
        audioUnit_->continueSequencer();
    }
    updatePlayButton();
}

void AudioUnitViewController::onButtonStop() {
    if (audioUnit_ && audioUnit_->sequencer()->currentFile()) audioUnit_->sequencer()->stop();
}

void AudioUnitViewController::onSliderProgress(double value) {
    if (audioUnit_) audioUnit_->sequencer()->seekToPosition(value);
}

void AudioUnitViewController::onBrightnessSlider(float value) {
    touchesLocked = true;
    if (!pluginFrame) return;
    pluginFrame->contrast = value;
    pluginFrame->setNeedsDisplay();
}

void AudioUnitViewController::onFreezeButton() { isSizeable = !isSizeable; }
