#pragma once

#include "platform/ui/GraphicsContext.h"

#include <filesystem>
#include <span>
#include <string>

namespace icongen {

// The side of every button picture, in pixels: enough for the largest windows the views scale to.
inline constexpr int kPictureSize = 96;

// One button picture: the name the views ask for and how it is drawn, into a square of kPictureSize.
struct ButtonPicture {
    const char* name;
    void (*draw)(ui::GraphicsContext& ctx);
};

// Every picture a button of the instrument's view or of the application's main screen names.
std::span<const ButtonPicture> buttonPictures();

// The file of a picture below a resources folder: "icons/<name>.png".
std::filesystem::path picturePath(const std::filesystem::path& resources, const std::string& name);

// Draws every picture into resources/icons; the first failure, or "".
std::string writeButtonPictures(const std::filesystem::path& resources);

// The side of the application's icon, in pixels (the desktop's 256 x 256 size).
inline constexpr int kApplicationIconSize = 256;
// The application's icon for the desktop: the instrument's picture on the views' dark, in a rounded square.
inline constexpr const char* kApplicationIconName = "Orvo-Tunedeck2";
// Draws it into resources/icons/<kApplicationIconName>.png; the failure, or "".
std::string writeApplicationIcon(const std::filesystem::path& resources);

}  // namespace icongen
