// midigen: writes the demo MIDI files into a resources folder.
//   midigen <resources folder>

#include "tools/midigen/DemoFiles.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: midigen <resources folder>\n");
        return 2;
    }
    for (const midigen::DemoFile& file : midigen::demoFiles()) {
        std::string failure = midigen::writeDemoFile(file, argv[1]);
        if (!failure.empty()) {
            std::fprintf(stderr, "midigen: %s\n", failure.c_str());
            return 1;
        }
    }
    return 0;
}
