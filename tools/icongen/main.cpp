// icongen: draws the button pictures of the views and the application's icon into a resources folder.
//   icongen <resources folder>

#include "tools/icongen/ButtonPictures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen <resources folder>\n");
        return 2;
    }
    std::string failure = icongen::writeButtonPictures(argv[1]);
    if (failure.empty()) failure = icongen::writeApplicationIcon(argv[1]);
    if (!failure.empty()) {
        std::fprintf(stderr, "icongen: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
