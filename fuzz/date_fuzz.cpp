// The date parser on arbitrary text: any result can be written out.
#include "fuzz_input.h"
#include "parse/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const qf::DateTime date = qf::ParseDate(qf::fuzz::CodeUnits(data, size));
    const qf::DateTime::Fields fields = date.ToFields();
    qf::fuzz::Check(fields.month >= 1 && fields.month <= 12 && fields.day >= 1 && fields.day <= 31);
    qf::fuzz::Check(!qf::FormatGmt(date).empty());
    qf::FormatLogTime(date);
    return 0;
}
