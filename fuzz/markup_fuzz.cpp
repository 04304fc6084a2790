// Markup and CDATA removal never grow the text; the other cleanups run on the same input.
#include "fuzz_input.h"
#include "parse/text_cleanup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::u16string text = qf::fuzz::CodeUnits(data, size);
    const std::u16string stripped = qf::StripMarkup(text);
    qf::fuzz::Check(stripped.size() <= text.size());
    qf::fuzz::Check(stripped.find(u'\t') == std::u16string::npos);
    qf::fuzz::Check(qf::StripCdata(text).size() <= text.size());
    const size_t half = text.size() / 2;
    qf::AbsolutizeLinks(std::u16string_view(text).substr(0, half), std::u16string_view(text).substr(half));
    return 0;
}
