// benchgen: writes the bench bank and the dense bench song into a folder.
//   benchgen <output folder>

#include "tools/bankgen/BankFiles.h"
#include "tools/benchgen/BenchBank.h"
#include "tools/benchgen/DenseSong.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: benchgen <output folder>\n");
        return 2;
    }
    std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "benchgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    if (!bankgen::writeBankFile(benchgen::buildBenchSet(), benchgen::benchBankFile(), folder)) {
        std::fprintf(stderr, "benchgen: cannot write %s\n", (folder / benchgen::benchBankFile().fileName).c_str());
        return 1;
    }
    std::string failure = midigen::writeDemoFile(benchgen::denseSongFile(), folder);
    if (!failure.empty()) {
        std::fprintf(stderr, "benchgen: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
