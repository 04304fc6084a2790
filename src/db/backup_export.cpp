// Writing the backup file: one element line per row, each table in id order.
#include "db/backup.h"
#include "db/database_connection.h"
#include "db/row_readers.h"
#include "parse/text_cleanup.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ForEachRow;

namespace {

// Builds one element line: two spaces, the element, its attributes, " />".
class ElementLine {
  public:
    explicit ElementLine(std::u16string_view name) : text_(u"  <") { text_ += name; }
    ElementLine& Number(std::u16string_view name, long long value) { return Text(name, Decimal(value)); }
    ElementLine& Flag(std::u16string_view name, bool value) { return Text(name, value ? u"1" : u"0"); }
    ElementLine& Escaped(std::u16string_view name, const std::u16string& value) {
        return Text(name, EscapeXml(value));
    }
    std::u16string Done() const { return text_ + u" />\n"; }

  private:
    ElementLine& Text(std::u16string_view name, const std::u16string& value) {
        text_ += u' ';
        text_ += name;
        text_ += u"=\"";
        text_ += value;
        text_ += u'"';
        return *this;
    }
    std::u16string text_;
};

constexpr std::int32_t kLastBuiltInViewId = 3;

void WriteViews(AdoConnection& connection, std::u16string& out) {
    out += u"  <views>\n";
    ForEachRow(connection, std::u16string(db_detail::kSelectViews) + u" Order By ViewID",
               [&](AdoRecordset& row) {
                   ViewRecord view = db_detail::ReadView(row);
                   if (view.view_id <= kLastBuiltInViewId) return;
                   out += ElementLine(u"view")
                              .Number(u"id", view.view_id)
                              .Escaped(u"label", view.label)
                              .Number(u"readAfter", view.read_after)
                              .Number(u"hideAfter", view.hide_after)
                              .Number(u"numToShow", view.num_to_show)
                              .Flag(u"hideRead", view.hide_read)
                              .Flag(u"skipRead", view.dpad_skip_read)
                              .Number(u"sortBy", view.sort_by)
                              .Escaped(u"keywords", view.keywords)
                              .Done();
               });
    out += u"  </views>\n";
}

void WriteSubscriptions(AdoConnection& connection, std::u16string& out) {
    out += u"  <subscriptions>\n";
    ForEachRow(connection, std::u16string(db_detail::kSelectSubscriptions) + u" Order By SubscriptionID",
               [&](AdoRecordset& row) {
                   SubscriptionRecord subscription = db_detail::ReadSubscription(row);
                   out += ElementLine(u"subscription")
                              .Number(u"id", subscription.subscription_id)
                              .Escaped(u"label", subscription.title)
                              .Escaped(u"url", subscription.subscription_url)
                              .Flag(u"isFile", subscription.is_from_file)
                              .Done();
               });
    out += u"  </subscriptions>\n";
}

void WriteFeeds(AdoConnection& connection, std::u16string& out) {
    out += u"  <feeds>\n";
    ForEachRow(connection, std::u16string(db_detail::kSelectFeeds) + u" Order By FeedID",
               [&](AdoRecordset& row) {
                   FeedRecord feed = db_detail::ReadFeed(row);
                   out += ElementLine(u"feed")
                              .Number(u"id", feed.feed_id)
                              .Escaped(u"label", feed.title)
                              .Escaped(u"url", feed.feed_url)
                              .Number(u"priority", feed.priority)
                              .Number(u"reload", feed.reload_frequency)
                              .Number(u"readAfter", feed.read_after)
                              .Number(u"maxItems", feed.max_items)
                              .Flag(u"extendedData", feed.extended_data)
                              .Flag(u"extendedAudio", feed.extended_audio)
                              .Done();
               });
    out += u"  </feeds>\n";
}

// One line per row of a two-column membership table.
void WritePairs(AdoConnection& connection, std::u16string& out, std::u16string_view group,
                std::u16string_view element, std::u16string_view first, std::u16string_view second,
                const std::u16string& sql) {
    out += u"  <" + std::u16string(group) + u">\n";
    ForEachRow(connection, sql, [&](AdoRecordset& row) {
        std::int32_t first_id = row.Field(0).AsInt();
        std::int32_t second_id = row.Field(1).AsInt();
        out += ElementLine(element).Number(first, first_id).Number(second, second_id).Done();
    });
    out += u"  </" + std::u16string(group) + u">\n";
}

// The text in UTF-8 with every line end as CR LF.
std::string EncodeForFile(const std::u16string& text) {
    std::u16string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (char16_t c : text) {
        if (c == u'\n') crlf += u'\r';
        crlf += c;
    }
    if (crlf.empty()) return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), nullptr, 0,
                                    nullptr, nullptr);
    std::string encoded(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, crlf.data(), static_cast<int>(crlf.size()), encoded.data(), bytes,
                        nullptr, nullptr);
    return encoded;
}

}  // namespace

DbStatus ExportBackup(DatabaseConnection& database, const std::u16string& file_path) {
    return database.Run([&](AdoConnection& connection) -> DbStatus {
        CFile file;
        if (!file.Open(file_path.c_str(), CFile::modeCreate | CFile::modeWrite)) return DbError::kRefused;
        std::u16string text = u"<qfbk version=\"2.0\">\n";
        WriteViews(connection, text);
        WriteSubscriptions(connection, text);
        WriteFeeds(connection, text);
        WritePairs(connection, text, u"viewFeeds", u"viewFeed", u"viewID", u"feedID",
                   u"Select ViewID,FeedID From ViewFeeds Order By ViewID");
        WritePairs(connection, text, u"subscriptionFeeds", u"subscriptionFeed", u"subscriptionID", u"feedID",
                   u"Select SubscriptionID,FeedID From SubscriptionFeeds Order By SubscriptionID");
        text += u"</qfbk>\n";
        std::string bytes = EncodeForFile(text);
        if (!file.Write(bytes.data(), static_cast<UINT>(bytes.size()))) return DbError::kRefused;
        return {};
    });
}

}  // namespace qf
