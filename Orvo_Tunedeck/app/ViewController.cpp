#include "Orvo_Tunedeck/app/ViewController.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audiounit/AUUnitProperties.h"
#include "platform/foundation/Folders.h"
#include "shared/audiounitbase/SoundBankLoad.h"
#include "shared/globals/Print.h"

namespace {

ViewController* current = nullptr;

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string describe(const std::vector<std::filesystem::path>& urls) {
    std::string text = "[";
    for (size_t i = 0; i < urls.size(); ++i) text += (i ? ", " : "") + urls[i].string();
    return text + "]";
}

// Why the sound set's bank is not what the instrument plays, as the instrument reports its last bank load; none
// when it is (or there is no instrument yet, or it does not tell).
std::optional<SoundsetRefusal> bankRefusal(const std::shared_ptr<AUAudioUnit>& instrument, int64_t row) {
    SoundBankLoad load;
    if (!instrument ||
        instrument->getProperty(kSoundBankLoadProperty, kAudioUnitScope_Global, 0, &load, sizeof load) !=
            foundation::noErr ||
        load.status == foundation::noErr)
        return std::nullopt;
    return SoundsetRefusal{row, load.bank,
                           load.status == foundation::kAudio_FileNotFoundError
                               ? "is missing"
                               : "could not be loaded: its content is damaged or of a kind this program does not "
                                 "read"};
}

// True when there is no refusal; otherwise false, with error naming the bank by its whole path and why.
bool noRefusal(const std::optional<SoundsetRefusal>& refusal, std::string& error) {
    if (refusal) error = refusal->text(true);
    return !refusal;
}

// Copies source to target; refuses (false) when target exists.
bool copyWithoutOverwrite(const std::filesystem::path& source, const std::filesystem::path& target,
                          std::error_code& error) {
    return std::filesystem::copy_file(source, target, std::filesystem::copy_options::none, error);
}

}  // namespace

ViewController* currentViewController() { return current; }

std::string SoundsetRefusal::text(bool wholePath) const {
    return "the sound bank '" + (wholePath ? bank : bank.filename()).string() + "' of sound set " +
           std::to_string(row) + " " + reason;
}

ViewController::~ViewController() {
    if (openInObserver_ != 0) NotificationCenter::defaultCenter().removeObserver(openInObserver_);
    if (player) player->delegate = nullptr;
    if (current == this) current = nullptr;
}

void ViewController::viewDidLoad(std::unique_ptr<audioengine::AudioOutput> output) {
    current = this;
    MIDIConnection::shared().setDelegate(shared_from_this());
    getDirectories();
    provideDefaultDocuments();
    player = AudioEngine::create(std::move(output));
    player->delegate = this;
    openInObserver_ = NotificationCenter::defaultCenter().addObserver(
        kOpenInNotification, [this](const std::optional<NotificationUserInfo>& userInfo) { onOpenIn(userInfo); });
}

void ViewController::getDirectories() {
    safeprint("viewController:getDirectories() : Initialization, enumerating the apps accessible folders.");
    const auto resources = foundation::resourcesFolder();
    if (!resources) {
        safeprint("ViewController::getDirectories() : Resources folder is nil.");
        return;
    }
    resourcesPath = resources->string();
    safeprint("viewController:getDirectories() : The app's resources path is: " + resourcesPath);
    const auto documents = foundation::documentsFolder(foundation::kApplicationDeliverable);
    std::error_code error;
    if (!documents || (std::filesystem::create_directories(*documents, error), error)) {
        safeprint("viewController:getDirectories() : Documents directory is nil.");
        return;
    }
    documentsPath = documents->string();
    safeprint("viewController:getDirectories() : The app's documents path is: " + documentsPath);
}

void ViewController::provideDefaultDocuments() {
    const std::filesystem::path source = std::filesystem::path(resourcesPath) / "default.mid";
    if (resourcesPath.empty() || !std::filesystem::is_regular_file(source)) {
        safeprint("ViewController::provideDefaultDocuments(): ERROR: Missing resource file 'default.mid'.");
        return;
    }
    if (documentsPath.empty()) {
        safeprint("ViewController::provideDefaultDocuments(): ERROR: Could not provide default file: "
                  "no documents folder");
        return;
    }
    const std::filesystem::path target = std::filesystem::path(documentsPath) / "default.mid";
    if (std::filesystem::exists(target)) {
        safeprint("ViewController::provideDefaultDocuments(): The default document already existed.");
        return;
    }
    std::error_code error;
    if (!copyWithoutOverwrite(source, target, error))
        safeprint("ViewController::provideDefaultDocuments(): ERROR: Could not provide default file: " +
                  error.message());
}

void ViewController::documentPicker(const std::vector<std::filesystem::path>& urls) {
    safeprint("ViewController::documentPicker : " + describe(urls));
    if (urls.empty()) {
        safeprint("ViewController::documentPicker : ERROR: The URLs array was empty.");
        return;
    }
    for (const std::filesystem::path& url : urls) {
        if (std::filesystem::is_directory(url)) {
            safeprint("ViewController::documentPicker : WARNING: Subfolders are not supported. Skipping.");
            continue;
        }
        const std::string extension = upper(url.extension().string());
        if (extension != ".MID" && extension != ".MIDI" && extension != ".KAR") {
            safeprint("ViewController::documentPicker : WARNING: The file type is not supported. Skipping.");
            continue;
        }
        if (documentsPath.empty()) {
            safeprint("ViewController::documentPicker : ERROR: There is no documents folder.");
            continue;
        }
        const std::filesystem::path target = std::filesystem::path(documentsPath) / url.filename();
        safeprint(target.string());
        if (std::filesystem::exists(target)) {
            safeprint("ViewController::documentPicker : ERROR: The File '" + target.filename().string() +
                      "' already existed.");
            continue;
        }
        std::error_code error;
        if (copyWithoutOverwrite(url, target, error))
            safeprint("ViewController::documentPicker : File was copied to: file://" + target.string());
        else
            safeprint("ViewController::documentPicker : ERROR: " + error.message());
    }
}

void ViewController::documentPicker(const std::filesystem::path& url) {
    safeprint("ViewController::documentPicker:  " + url.string());
    documentPicker(std::vector<std::filesystem::path>{url});
}

void ViewController::documentPickerWasCancelled() {
    safeprint("ViewController::documentPickerWasCancelled : The document picker was canceled.");
}

void ViewController::onOpenIn(const std::optional<NotificationUserInfo>& userInfo) {
    // A view lays its subviews out whenever it is given a frame.
    if (const auto shown = view.lock()) shown->setFrame(shown->frame());
    if (!userInfo) {
        safeprint("viewConroller::onOpenIn(): ERROR: Userinfo is nil.");
        return;
    }
    const auto entry = userInfo->find("url");
    if (entry == userInfo->end()) return;
    const std::filesystem::path& url = entry->second;
    safeprint("viewConroller::onOpenIn(): " + url.string());
    const auto documents = foundation::documentsFolder(foundation::kApplicationDeliverable);
    if (!documents) return;
    const std::filesystem::path target = *documents / url.filename();
    if (std::filesystem::exists(target)) {
        safeprint("ViewController::onOpenIn(): ERROR: The file '" + target.string() + "' does already exist.");
        return;
    }
    std::error_code error;
    if (!copyWithoutOverwrite(url, target, error))
        safeprint("ViewController::onOpenIn(): ERROR: Could not copy the file: " + error.message());
}

void ViewController::onButtonPlay() {
    if (!player) return;
    player->startEngine();
    if (player->instrument && player->engine->isRunning()) player->instrument->setParameter(kFilePlayerAddress, 1);
}

void ViewController::onButtonStop() {
    if (!player) return;
    if (player->instrument) player->instrument->setParameter(kFilePlayerAddress, 0);
    player->pauseEngine();
}

void ViewController::onChannelMessage(midi::MIDITimeStamp, uint8_t status, uint8_t data1, uint8_t data2,
                                      uint16_t length) {
    if (!player || length < 1 || length > 3) return;
    const uint8_t bytes[3] = {status, data1, data2};
    player->sendMIDI(bytes, length);
}

void ViewController::onSysEx(midi::MIDITimeStamp, uint16_t length, std::span<const uint8_t> bytes) {
    if (player) player->sendMIDI(bytes, length);
}

void ViewController::onInstrumentMIDI(uint8_t, uint8_t, uint8_t) {}

void ViewController::onInstrumentSysEx(const std::vector<uint8_t>&) {}

void ViewController::onSoundsetSelected(int64_t index) {
    if (const std::optional<SoundsetRefusal> refusal = applySoundset(index)) {
        if (onSoundsetRefused) onSoundsetRefused(*refusal);
    } else if (onSoundsetChosen) {
        onSoundsetChosen(index);
    }
}

std::optional<SoundsetRefusal> ViewController::applySoundset(int64_t row) {
    if (!player || !player->instrument) return std::nullopt;
    player->instrument->setParameter(kSoundsetAddress, static_cast<float>(row));
    std::optional<SoundsetRefusal> refusal = bankRefusal(player->instrument->audioUnit0, row);
    if (!refusal) loadedSoundset_ = row;
    return refusal;
}

bool ViewController::chooseSoundset(int64_t row, std::string& error) {
    return noRefusal(applySoundset(row), error);
}

bool ViewController::soundsetBankLoaded(std::string& error) const {
    if (!player || !player->instrument) return true;
    return noRefusal(bankRefusal(player->instrument->audioUnit0, loadedSoundset_), error);
}
