#include "parse/feed_parser.h"

#include "common/settings_store.h"
#include "parse/feed_mapping.h"

namespace qf {
namespace {

// Gathers the results into one parsed feed.
class CollectingSink : public ParsedFeedSink {
  public:
    explicit CollectingSink(ParsedFeed& feed) : feed_(feed) {}
    void Channel(const ParsedFeed& channel) override { feed_ = channel; }
    void Item(ParsedItem item) override { feed_.items.push_back(std::move(item)); }

  private:
    ParsedFeed& feed_;
};

FeedParseStatus MapLoaded(bool loaded, const FeedDocument& document, std::u16string_view source_path,
                          const ParseOptions& options, ParsedFeedSink& sink) {
    if (!loaded) return FeedParseStatus::kUnreadable;
    return MapFeedDocument(document, source_path, options, sink);
}

}  // namespace

ParseOptions ParseOptionsFrom(const SettingsStore& settings) {
    ParseOptions options;
    options.mappings = [&settings](int map_index) { return ReadCustomMapping(settings, map_index); };
    options.atom10 = settings.Read(setting::kAtom10) != 0 ? Atom10::kOn : Atom10::kOff;
    return options;
}

FeedParseStatus MapFeedDocument(const FeedDocument& document, std::u16string_view source_path,
                                const ParseOptions& options, ParsedFeedSink& sink) {
    const FeedFormat format = DetectFormat(document, options.atom10);
    if (format == FeedFormat::kUnknown) return FeedParseStatus::kUnknownFormat;
    ParsedFeed channel;
    channel.format = format;
    channel.source_path = source_path;
    mapping::MappingOutput out(channel, sink);
    switch (format) {
        case FeedFormat::kUnknown:
            break;
        case FeedFormat::kRss090:
        case FeedFormat::kRss091:
        case FeedFormat::kRss092:
        case FeedFormat::kRss093:
        case FeedFormat::kRss10:
        case FeedFormat::kRss20:
            mapping::MapRssChannel(document, format, options.mappings, out);
            break;
        case FeedFormat::kAtom03:
        case FeedFormat::kAtom10:
            mapping::MapAtomFeed(document, format, options.mappings, out);
            break;
        case FeedFormat::kOpml10:
        case FeedFormat::kOpml11:
            mapping::MapOpmlOutlines(document, format, out);
            break;
        case FeedFormat::kOpmlSharpReader:
        case FeedFormat::kOpmlGeneric:
            mapping::MapSubscriptions(document, format, out);
            break;
    }
    out.Finish();
    return FeedParseStatus::kOk;
}

FeedParseStatus ParseFeedBytes(ParsedFeed& feed, std::string_view bytes, std::u16string_view source_path,
                               const CustomMappingSource& mappings, Atom10 atom10) {
    feed.Reset();
    FeedDocument document;
    const bool loaded = document.LoadBytes(bytes);
    CollectingSink sink(feed);
    return MapLoaded(loaded, document, source_path, ParseOptions{mappings, atom10}, sink);
}

FeedParseStatus ParseFeedBytes(FeedBytes& bytes, std::u16string_view source_path, const ParseOptions& options,
                               ParsedFeedSink& sink) {
    FeedDocument document;
    const bool loaded = document.Load(bytes);
    return MapLoaded(loaded, document, source_path, options, sink);
}

bool ParseFeed(ParsedFeed& feed, const std::u16string& path, const ParseOptions& options) {
    feed.Reset();
    FeedDocument document;
    const bool loaded = document.LoadFile(path);
    CollectingSink sink(feed);
    return MapLoaded(loaded, document, path, options, sink) == FeedParseStatus::kOk;
}

}  // namespace qf
