// Reading a backup file back: every view, subscription and feed is added with a new identifier, and the
// memberships are added between the new rows.
#include <algorithm>
#include <limits>
#include <set>
#include <unordered_map>

#include "db/backup.h"
#include "db/database_connection.h"
#include "db/row_readers.h"
#include "db/row_writers.h"
#include "db/schema.h"
#include "parse/feed_document.h"
#include "parse/text_cleanup.h"

namespace qf {

using db_detail::Decimal;

namespace {

// Old identifier -> new identifier (and the feed's priority); the first entry of an old id wins.
struct NewId {
    std::int32_t id = 0;
    std::int16_t priority = 0;
};
using IdMap = std::unordered_map<std::int32_t, NewId>;

// An attribute's leading decimal number as _wtoi reads it (white space, sign, digits), without its
// 32-bit saturation, so that out-of-range values can be told from the largest valid one.
std::int64_t WideLeadingNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    constexpr std::int64_t kCap = std::int64_t{1} << 40;  // far beyond every column's range
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i] - u'0'), kCap);
    }
    return negative ? -value : value;
}

class BackupReader {
  public:
    BackupReader(const FeedDocument& document, std::vector<std::u16string>* notes)
        : document_(document), notes_(notes) {}

    // Calls `visit(node)` for each child named `element` of qfbk\<group>.
    template <typename Visit>
    void ForEach(std::u16string_view group, std::u16string_view element, Visit&& visit) const {
        const FeedNode* parent = document_.FindPath(u"qfbk\\" + std::u16string(group));
        for (const FeedNode* node = document_.FirstChild(parent); node; node = document_.NextSibling(node)) {
            if (node->name == element) visit(node);
        }
    }
    std::u16string Text(const FeedNode* node, std::u16string_view name) const {
        return std::u16string(document_.GetAttribute(node, name));
    }
    // Attribute values are raw XML; texts the export escaped are decoded once.
    std::u16string DecodedText(const FeedNode* node, std::u16string_view name) const {
        return DecodeEntities(document_.GetAttribute(node, name));
    }
    bool Flag(const FeedNode* node, std::u16string_view name) const {
        return WideLeadingNumber(document_.GetAttribute(node, name)) != 0;
    }
    // An identifier of the file; nullopt (with a note) when it does not fit the 32-bit id columns, so
    // that two different ids can never stand for one row.
    std::optional<std::int32_t> Id(const FeedNode* node, std::u16string_view name) const {
        std::int64_t value = WideLeadingNumber(document_.GetAttribute(node, name));
        if (value >= std::numeric_limits<std::int32_t>::min() &&
            value <= std::numeric_limits<std::int32_t>::max())
            return static_cast<std::int32_t>(value);
        Note(node, name, u"is out of range; the element was skipped");
        return std::nullopt;
    }
    // A smallint column's value, clamped (with a note) to the column's range.
    std::int16_t Short(const FeedNode* node, std::u16string_view name) const {
        std::int64_t value = WideLeadingNumber(document_.GetAttribute(node, name));
        std::int64_t clamped = std::clamp<std::int64_t>(value, std::numeric_limits<std::int16_t>::min(),
                                                        std::numeric_limits<std::int16_t>::max());
        if (clamped != value) Note(node, name, u"is out of range; stored " + Decimal(clamped));
        return static_cast<std::int16_t>(clamped);
    }

  private:
    void Note(const FeedNode* node, std::u16string_view name, const std::u16string& what) const {
        if (!notes_) return;
        notes_->push_back(std::u16string(node->name) + u" " + Text(node, u"id") + u": " +
                          std::u16string(name) + u"=\"" + Text(node, name) + u"\" " + what);
    }

    const FeedDocument& document_;
    std::vector<std::u16string>* notes_;
};

std::int16_t ReadAfterOrDefault(const BackupReader& reader, const FeedNode* node) {
    return reader.Text(node, u"readAfter").empty() ? FeedRecord().read_after
                                                   : reader.Short(node, u"readAfter");
}

}  // namespace

DbResult<std::vector<std::u16string>> ImportBackup(DatabaseConnection& database,
                                                   const std::u16string& file_path) {
    return database.Run([&](AdoConnection& connection) -> DbResult<std::vector<std::u16string>> {
        FeedDocument document;
        if (!document.LoadFile(file_path)) return DbError::kRefused;
        const FeedNode* root = document.FindPath(u"qfbk");
        if (!root || document.GetAttribute(root, u"version") != u"2.0") return DbError::kRefused;
        std::vector<std::u16string> notes;
        BackupReader reader(document, &notes);

        IdMap views, subscriptions, feeds;
        reader.ForEach(u"views", u"view", [&](const FeedNode* node) {
            std::optional<std::int32_t> old_id = reader.Id(node, u"id");
            if (!old_id) return;
            ViewRecord view;
            view.label = reader.DecodedText(node, u"label");
            view.read_after = reader.Short(node, u"readAfter");
            view.hide_after = reader.Short(node, u"hideAfter");
            view.num_to_show = reader.Short(node, u"numToShow");
            view.hide_read = reader.Flag(node, u"hideRead");
            view.dpad_skip_read = reader.Flag(node, u"skipRead");
            view.sort_by = reader.Short(node, u"sortBy");
            view.keywords = reader.DecodedText(node, u"keywords");
            view.is_keyword_view = !view.keywords.empty();
            db_detail::AddViewRow(connection, view);
            views.emplace(*old_id, NewId{view.view_id, 0});
        });
        reader.ForEach(u"subscriptions", u"subscription", [&](const FeedNode* node) {
            std::optional<std::int32_t> old_id = reader.Id(node, u"id");
            if (!old_id) return;
            SubscriptionRecord subscription = NewSubscriptionRecord();
            subscription.title = reader.Text(node, u"label");
            subscription.subscription_url = reader.Text(node, u"url");
            subscription.is_from_file = reader.Flag(node, u"isFile");
            db_detail::AddSubscriptionRow(connection, subscription, schema::kWhatsNewViewId);
            subscriptions.emplace(*old_id, NewId{subscription.subscription_id, 0});
        });
        reader.ForEach(u"feeds", u"feed", [&](const FeedNode* node) {
            std::optional<std::int32_t> old_id = reader.Id(node, u"id");
            if (!old_id) return;
            FeedRecord feed = NewFeedRecord();
            feed.title = reader.Text(node, u"label");
            feed.feed_url = reader.Text(node, u"url");
            feed.priority = reader.Short(node, u"priority");
            feed.reload_frequency = reader.Short(node, u"reload");
            feed.read_after = ReadAfterOrDefault(reader, node);
            feed.max_items = reader.Short(node, u"maxItems");
            feed.extended_data = reader.Flag(node, u"extendedData");
            feed.extended_audio = reader.Flag(node, u"extendedAudio");
            db_detail::AddFeedRows(connection, feed, 0, 0);
            feeds.emplace(*old_id, NewId{feed.feed_id, feed.priority});
        });

        // Memberships naming a view, subscription or feed that was not imported are dropped, and a pair
        // the file repeats is added once.
        auto find = [&](const IdMap& map, const FeedNode* node, std::u16string_view name) {
            std::optional<std::int32_t> old_id = reader.Id(node, name);
            return old_id ? map.find(*old_id) : map.end();
        };
        std::set<std::pair<std::int32_t, std::int32_t>> added;
        reader.ForEach(u"viewFeeds", u"viewFeed", [&](const FeedNode* node) {
            auto view = find(views, node, u"viewID");
            auto feed = find(feeds, node, u"feedID");
            if (view == views.end() || feed == feeds.end()) return;
            if (!added.emplace(view->second.id, feed->second.id).second) return;
            db_detail::InsertViewFeed(connection, view->second.id, feed->second.id, feed->second.priority);
        });
        added.clear();
        reader.ForEach(u"subscriptionFeeds", u"subscriptionFeed", [&](const FeedNode* node) {
            auto subscription = find(subscriptions, node, u"subscriptionID");
            auto feed = find(feeds, node, u"feedID");
            if (subscription == subscriptions.end() || feed == feeds.end()) return;
            if (!added.emplace(subscription->second.id, feed->second.id).second) return;
            db_detail::InsertSubscriptionFeed(connection, subscription->second.id, feed->second.id);
        });
        return notes;
    });
}

}  // namespace qf
