// bankgen: writes the instrument's sound banks into a folder.
//   bankgen <output folder>

#include "tools/bankgen/BankFiles.h"
#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bankgen <output folder>\n");
        return 2;
    }
    std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "bankgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        bankgen::ProgramSet set = bankgen::buildProgramSet(file);
        if (!bankgen::writeBankFile(set, file, folder)) {
            std::fprintf(stderr, "bankgen: cannot write %s\n", (folder / file.fileName).c_str());
            return 1;
        }
    }
    return 0;
}
