#include "platform/foundation/PlistValue.h"

namespace foundation {

const PlistValue* PlistValue::find(const std::string& key) const {
    const PlistDictionary* entries = dictionary();
    if (entries == nullptr) {
        return nullptr;
    }
    const auto it = entries->find(key);
    return it == entries->end() ? nullptr : &it->second;
}

}  // namespace foundation
