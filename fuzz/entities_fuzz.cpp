// Entity decoding never grows the text, and decoding twice is safe.
#include "fuzz_input.h"
#include "parse/text_cleanup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::u16string text = qf::fuzz::CodeUnits(data, size);
    const std::u16string once = qf::DecodeEntities(text);
    qf::fuzz::Check(once.size() <= text.size());
    qf::fuzz::Check(qf::DecodeEntities(once).size() <= once.size());
    return 0;
}
