#include "parse/feed_parser.h"

#include "common/settings_store.h"
#include "parse/dates.h"
#include "parse/feed_mapping.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

FeedParseStatus MapLoaded(bool loaded, const FeedDocument& document, std::u16string_view source_path,
                          const CustomMappingSource& mappings, ParsedFeed& feed) {
    if (!loaded) return FeedParseStatus::kUnreadable;
    const FeedParseStatus status = MapFeedDocument(document, feed, mappings);
    if (status == FeedParseStatus::kOk) feed.sourcePath = source_path;
    return status;
}

}  // namespace

FeedParseStatus MapFeedDocument(const FeedDocument& document, ParsedFeed& feed,
                                const CustomMappingSource& mappings) {
    const FeedFormat format = DetectFormat(document);
    feed.formatCode = static_cast<int>(format);
    switch (format) {
        case FeedFormat::kUnknown:
            return FeedParseStatus::kUnknownFormat;
        case FeedFormat::kRss090:
        case FeedFormat::kRss091:
        case FeedFormat::kRss092:
        case FeedFormat::kRss093:
        case FeedFormat::kRss10:
        case FeedFormat::kRss20:
            mapping::MapRssChannel(document, format, mappings, feed);
            break;
        case FeedFormat::kAtom03:
            mapping::MapAtomFeed(document, mappings, feed);
            break;
        case FeedFormat::kOpml10:
        case FeedFormat::kOpml11:
            mapping::MapOpmlOutlines(document, format, feed);
            break;
        case FeedFormat::kOpmlSharpReader:
        case FeedFormat::kOpmlGeneric:
            mapping::MapSubscriptions(document, format, feed);
            break;
    }
    feed.title = std::u16string(text::Trim(feed.title));
    if (feed.title.empty()) feed.title = mapping::NumberedTitle(u"No Title: ");
    return FeedParseStatus::kOk;
}

FeedParseStatus ParseFeedBytes(ParsedFeed& feed, std::string_view bytes, std::u16string_view source_path,
                               const CustomMappingSource& mappings) {
    feed.Reset();
    FeedDocument document;
    const bool loaded = document.LoadBytes(bytes);
    return MapLoaded(loaded, document, source_path, mappings, feed);
}

bool ParseFeed(ParsedFeed& feed, const std::u16string& path) {
    feed.Reset();
    FeedDocument document;
    const bool loaded = document.LoadFile(path);
    const auto settings = [](int map_index) { return ReadCustomMapping(AppSettings(), map_index); };
    return MapLoaded(loaded, document, path, settings, feed) == FeedParseStatus::kOk;
}

}  // namespace qf
