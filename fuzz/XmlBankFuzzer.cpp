// XML sound banks through the library's reader.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/formats/korvel_xml_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    korvel_defsfont_t* bank = new_korvel_defsfont();
    korvel_defsfont_load_xml(bank, file.path().c_str());
    delete_korvel_defsfont(bank);
    return 0;
}
