#include "Orvo_Tunedeck/settings/SoundSetMemory.h"

namespace {

constexpr const char* kSoundSetKey = "SoundSet";
constexpr int64_t kSoundSetRows = 6;

}  // namespace

std::optional<int> rememberedSoundSet(const PersistentAppData& store) {
    const std::optional<foundation::PlistValue> value =
        store.getObject(kSoundSetKey, PersistentAppData::Storage::defaults);
    const int64_t* row = value ? value->integer() : nullptr;
    if (row == nullptr || *row < 0 || *row >= kSoundSetRows) return std::nullopt;
    return static_cast<int>(*row);
}

void rememberSoundSet(PersistentAppData& store, int64_t row) {
    store.setInt(kSoundSetKey, row, PersistentAppData::Storage::defaults);
}
