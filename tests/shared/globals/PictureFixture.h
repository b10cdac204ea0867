#pragma once
// A test folder with a white 8 x 6 PNG picture and a text file that is no picture, an image view and the log.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/foundation/Log.h"
#include "platform/ui/ImageSurface.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Path.h"
#include "tests/support/TestFolder.h"

class PictureFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ui::ImageSurface picture(8, 6);
        picture.context().fill(ui::Path::rect({0, 0, 8, 6}), ui::Color::white());
        ASSERT_TRUE(picture.writePng(png()));
        std::ofstream(text(), std::ios::binary) << "not a picture";
    }
    std::filesystem::path png() const { return folder.path() / "white picture.png"; }
    std::filesystem::path text() const { return folder.path() / "notes.txt"; }

    testsupport::TestFolder folder;
    foundation::LogCapture log;
    std::shared_ptr<ui::ImageView> view = std::make_shared<ui::ImageView>();
};
