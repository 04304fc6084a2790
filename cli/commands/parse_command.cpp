// `quillfeed parse FILE`: runs the item's feed parser on a host file and prints the parsed feed exactly
// as the download run would get it (raw texts, before cleanup). The custom field mappings and the Atom 1.0
// setting come from the device's settings when there is a device; without one the described formats and
// standard mappings apply. The file is read in slices and each item is printed as soon as it is mapped,
// so that big files need little more memory than their text.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "commands/commands.h"
#include "common/settings_store.h"
#include "output_buffer.h"
#include "parse/feed_parser.h"
#include "qfdevice/device.h"
#include "windows.h"

namespace qf::cli {
namespace {

// Longest description shown in the text summary.
constexpr size_t kSummaryDescriptionChars = 160;
constexpr size_t kDefaultMaxSizeBytes = size_t{64} << 20;

// A host file read in slices.
class HostFileBytes : public FeedBytes {
  public:
    // Fails when the file cannot be read, is not a regular file or is bigger than `max_size_bytes`.
    Status Open(const std::string& path, size_t max_size_bytes) {
        struct stat status {};
        file_.reset(std::fopen(path.c_str(), "rb"));
        if (!file_ || fstat(fileno(file_.get()), &status) != 0) return Fail("cannot read " + path);
        if (!S_ISREG(status.st_mode)) return Fail(path + ": not a regular file");
        size_ = static_cast<size_t>(status.st_size);
        if (size_ > max_size_bytes) {
            return Fail(path + ": " + std::to_string(size_) + " bytes, over the limit of " +
                        std::to_string(max_size_bytes) + " (--max-size)");
        }
        return {};
    }
    size_t size() const override { return size_; }
    std::optional<std::string_view> Slice(size_t offset, size_t max) override {
        buffer_.resize(std::min(max, size_ - offset));
        if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0 ||
            std::fread(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) {
            return std::nullopt;
        }
        return std::string_view(buffer_);
    }

  private:
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> file_;
    size_t size_ = 0;
    std::string buffer_;
};

ParseOptions DeviceOptions() {
    if (!std::filesystem::is_directory(qf::device::StateDir())) return {};
    return ParseOptionsFrom(AppSettings());
}

// The parsed feed as one JSON object, keys in the order of its fields, written item by item.
class JsonPrinter : public ParsedFeedSink {
  public:
    explicit JsonPrinter(OutputBuffer& out) : out_(out) {}

    void Channel(const ParsedFeed& feed) override {
        out_.Append("{\"ok\":true,\"sourcePath\":");
        out_.AppendJsonString(feed.source_path);
        out_.Append(",\"formatCode\":" + std::to_string(static_cast<int>(feed.format)) + ",\"formatName\":");
        out_.AppendJsonString(feed.format_name);
        Field("title", feed.title);
        Field("link", feed.link);
        Field("description", feed.description);
        Field("date", feed.date);
        out_.Append(",\"items\":[");
    }
    void Item(ParsedItem item) override {
        out_.Append(items_++ == 0 ? "{\"title\":" : ",{\"title\":");
        out_.AppendJsonString(item.title);
        Field("description", item.description);
        Field("link", item.link);
        Field("date", item.date);
        Field("guid", item.guid);
        Field("enclosureUrl", item.enclosure_url);
        out_.Append(",\"enclosureLength\":" + std::to_string(item.enclosure_length) + "}");
    }
    void Finish() { out_.Append("]}\n"); }

  private:
    void Field(std::string_view key, std::u16string_view value) {
        out_.Append(",\"");
        out_.Append(key);
        out_.Append("\":");
        out_.AppendJsonString(value);
    }

    OutputBuffer& out_;
    size_t items_ = 0;
};

// One line of at most kSummaryDescriptionChars characters.
std::string OneLine(std::u16string_view value) {
    std::u16string text(value.substr(0, kSummaryDescriptionChars));
    for (char16_t& c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
    }
    if (value.size() > kSummaryDescriptionChars) text += u"...";
    return WideToUtf8(text);
}

// A short summary for people: the feed's fields, each item's fields on lines of their own, the count.
class SummaryPrinter : public ParsedFeedSink {
  public:
    explicit SummaryPrinter(OutputBuffer& out) : out_(out) {}

    void Channel(const ParsedFeed& feed) override {
        out_.Append(WideToUtf8(feed.title) + "\n  format: " + WideToUtf8(feed.format_name) + " (" +
                    std::to_string(static_cast<int>(feed.format)) + ")\n");
        Field("  link", feed.link);
        Field("  date", feed.date);
        Field("  description", feed.description);
    }
    void Item(ParsedItem item) override {
        out_.Append("  " + std::to_string(++items_) + ". " + OneLine(item.title) + "\n");
        Field("    link", item.link);
        Field("    date", item.date);
        Field("    guid", item.guid);
        Field("    description", item.description);
        if (!item.enclosure_url.empty()) {
            out_.Append("    enclosure: " + WideToUtf8(item.enclosure_url) + " (" +
                        std::to_string(item.enclosure_length) + " bytes)\n");
        }
    }
    void Finish() { out_.Append("  " + std::to_string(items_) + (items_ == 1 ? " item\n" : " items\n")); }

  private:
    void Field(const char* label, std::u16string_view value) {
        if (!value.empty()) out_.Append(std::string(label) + ": " + OneLine(value) + "\n");
    }

    OutputBuffer& out_;
    size_t items_ = 0;
};

template <typename Printer>
CommandResult Print(const std::string& file, HostFileBytes& bytes) {
    OutputBuffer out;
    Printer printer(out);
    switch (ParseFeedBytes(bytes, Utf8ToWide(file), DeviceOptions(), printer)) {
        case FeedParseStatus::kOk:
            break;
        case FeedParseStatus::kUnreadable:
            return Fail(file + ": no XML elements could be read");
        case FeedParseStatus::kUnknownFormat:
            return Fail(file + ": not an RSS, Atom or OPML feed");
    }
    printer.Finish();
    return 0;
}

CommandResult RunParse(CommandContext& context, const std::string& file, size_t max_size_bytes) {
    if (Status used = context.UseDevice(DeviceNeed::kMayCreate); !used) return used.failure();
    HostFileBytes bytes;
    if (Status opened = bytes.Open(file, max_size_bytes); !opened) return opened.failure();
    return context.json() ? Print<JsonPrinter>(file, bytes) : Print<SummaryPrinter>(file, bytes);
}

}  // namespace

void AddParseCommand(CLI::App& app, CommandContext& context) {
    auto file = std::make_shared<std::string>();
    auto max_size = std::make_shared<size_t>(kDefaultMaxSizeBytes);
    CLI::App* parse =
        app.add_subcommand("parse", "Parse a feed file (RSS, Atom, OPML) and print what it holds");
    parse->add_option("file", *file, "The feed file (a path on this computer)")->required();
    parse->add_option("--max-size", *max_size, "Refuse files bigger than this many bytes (default 64 MiB)");
    parse->callback([&context, file, max_size] {
        context.SetAction([&context, file, max_size] { return RunParse(context, *file, *max_size); });
    });
}

}  // namespace qf::cli
