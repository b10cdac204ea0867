// What the panel, the browsers, the picker and the tool buttons ask of the controller.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileViewController.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsViewController.h"
#include "shared/globals/Print.h"
#include "shared/help/HelpViewController.h"

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

void AudioUnitViewController::prepare(ui::Segue& segue, const std::any&) {
    if (segue.identifier.empty()) return;
    safeprint(segue.identifier);
    if (segue.identifier == "showFiles") {
        if (auto* files = dynamic_cast<MIDIFileViewController*>(segue.destination.get())) {
            files->delegate = this;
            files->startFolder = "factory";
        }
    } else if (segue.identifier == "showPrograms") {
        if (auto* programs = dynamic_cast<ProgramsViewController*>(segue.destination.get())) {
            programs->delegate = this;
            if (audioUnit_) programs->programs = audioUnit_->soundfontprograms();
        }
    } else if (auto* help = dynamic_cast<HelpViewController*>(segue.destination.get())) {
        help->prepareInfo(segue.identifier);
    }
}

void AudioUnitViewController::openFilePicker() {
    auto picker = std::make_shared<ui::DocumentPicker>(std::vector<std::string>{"mid", "midi", "kar"}, false);
    picker->delegate = this;
    present(std::move(picker), true);
}

void AudioUnitViewController::documentPickerDidPick(ui::DocumentPicker&,
                                                    const std::vector<std::filesystem::path>& files) {
    std::string listed;
    for (const auto& file : files) listed += (listed.empty() ? "" : ", ") + file.string();
    safeprint("documentPicker: [" + listed + "]");
    if (!files.empty()) loadFile(files.front().string());
}

void AudioUnitViewController::documentPicker(ui::DocumentPicker&, const std::filesystem::path& url) {
    safeprint("documentPicker: " + url.string());
}

void AudioUnitViewController::documentPickerWasCancelled(ui::DocumentPicker&) {
    safeprint("The document picker was canceled.");
}

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
    player->sendEvent(c, 0xB0, 32, bankLsbDataByte(lsb));
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

void AudioUnitViewController::onButtonLoad(ui::Button*) { openFilePicker(); }

void AudioUnitViewController::onButtonTest(ui::Button*) {}

void AudioUnitViewController::onToggleButton(ui::Button*) {}

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
