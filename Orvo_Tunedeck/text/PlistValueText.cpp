#include "Orvo_Tunedeck/text/PlistValueText.h"

#include "platform/foundation/NumberText.h"

std::string plistValueText(const foundation::PlistValue& value) {
    if (const std::string* text = value.string()) {
        return *text;
    }
    if (const std::int64_t* integer = value.integer()) {
        return std::to_string(*integer);
    }
    if (const double* real = value.real()) {
        return foundation::numberText(*real);
    }
    if (const bool* boolean = value.boolean()) {
        return *boolean ? "true" : "false";
    }
    if (const foundation::PlistData* data = value.data()) {
        return std::to_string(data->size()) + " bytes";
    }
    if (const foundation::PlistArray* array = value.array()) {
        std::string text = "[";
        for (const foundation::PlistValue& entry : *array) {
            text += (text.size() == 1 ? "" : ", ") + plistValueText(entry);
        }
        return text + "]";
    }
    if (const foundation::PlistDictionary* dictionary = value.dictionary()) {
        std::string text = "[";
        for (const auto& [key, entry] : *dictionary) {
            text += (text.size() == 1 ? "" : ", ") + key + ": " + plistValueText(entry);
        }
        return text + "]";
    }
    return "<date>";
}
