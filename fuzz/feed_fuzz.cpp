// The whole feed parse on arbitrary file bytes: decoding, the reader, detection and every mapping.
#include "fuzz_input.h"
#include "parse/feed_parser.h"

namespace {

// A custom mapping chosen by the input, so that the custom rules are reached too.
qf::CustomMapping MappingFor(const std::uint8_t* data, size_t size) {
    if (size == 0 || data[0] % 4 != 0) return {};
    return qf::CustomMapping{u"headline", u"url", u"when", u"body", data[0] % 8 == 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const qf::CustomMapping mapping = MappingFor(data, size);
    qf::ParsedFeed feed;
    const qf::FeedParseStatus status =
        qf::ParseFeedBytes(feed, std::string_view(reinterpret_cast<const char*>(data), size), u"fuzz.xml",
                           [&mapping](int) { return mapping; });
    qf::fuzz::Check(status != qf::FeedParseStatus::kOk || !feed.title.empty());
    qf::fuzz::Check(status == qf::FeedParseStatus::kOk || feed.items.empty());
    return 0;
}
