// Reading a backup file back: every view, subscription and feed is added with a new identifier, and the
// memberships are added between the new rows.
#include <unordered_map>

#include "db/feed_database.h"
#include "db/row_readers.h"
#include "parse/dates.h"
#include "parse/feed_document.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"

namespace qf {

using db_detail::Decimal;

namespace {

// Old identifier -> new identifier (and the feed's priority); the first entry of an old id wins.
struct NewId {
    std::int32_t id = 0;
    std::int16_t priority = 0;
};
using IdMap = std::unordered_map<std::int32_t, NewId>;

class BackupReader {
  public:
    explicit BackupReader(const FeedDocument& document) : document_(document) {}

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
    std::int32_t Number(const FeedNode* node, std::u16string_view name) const {
        return text::LeadingNumber(document_.GetAttribute(node, name));
    }
    std::int16_t Short(const FeedNode* node, std::u16string_view name) const {
        return static_cast<std::int16_t>(Number(node, name));
    }

  private:
    const FeedDocument& document_;
};

std::int16_t ReadAfterOrDefault(const BackupReader& reader, const FeedNode* node) {
    return reader.Text(node, u"readAfter").empty() ? FeedRecord().read_after
                                                   : reader.Short(node, u"readAfter");
}

}  // namespace

bool FeedDatabase::Import(const std::u16string& file_path) {
    return Run(false, [&](AdoConnection& connection) {
        FeedDocument document;
        if (!document.LoadFile(file_path)) return false;
        const FeedNode* root = document.FindPath(u"qfbk");
        if (!root || document.GetAttribute(root, u"version") != u"2.0") return false;
        BackupReader reader(document);

        IdMap views, subscriptions, feeds;
        reader.ForEach(u"views", u"view", [&](const FeedNode* node) {
            ViewRecord view;
            view.view_id = UniqueNumber();
            views.emplace(reader.Number(node, u"id"), NewId{view.view_id, 0});
            view.label = reader.DecodedText(node, u"label");
            view.read_after = reader.Short(node, u"readAfter");
            view.hide_after = reader.Short(node, u"hideAfter");
            view.num_to_show = reader.Short(node, u"numToShow");
            view.hide_read = reader.Number(node, u"hideRead") != 0;
            view.dpad_skip_read = reader.Number(node, u"skipRead") != 0;
            view.sort_by = reader.Short(node, u"sortBy");
            view.keywords = reader.DecodedText(node, u"keywords");
            view.is_keyword_view = !view.keywords.empty();
            AddViewRow(connection, view);
        });
        reader.ForEach(u"subscriptions", u"subscription", [&](const FeedNode* node) {
            SubscriptionRecord subscription = NewSubscriptionRecord();
            subscription.subscription_id = UniqueNumber();
            subscriptions.emplace(reader.Number(node, u"id"), NewId{subscription.subscription_id, 0});
            subscription.title = reader.Text(node, u"label");
            subscription.subscription_url = reader.Text(node, u"url");
            subscription.is_from_file = reader.Number(node, u"isFile") != 0;
            AddSubscriptionRow(connection, subscription, 1);
        });
        reader.ForEach(u"feeds", u"feed", [&](const FeedNode* node) {
            FeedRecord feed = NewFeedRecord();
            feed.feed_id = UniqueNumber();
            feed.title = reader.Text(node, u"label");
            feed.feed_url = reader.Text(node, u"url");
            feed.priority = reader.Short(node, u"priority");
            feed.reload_frequency = reader.Short(node, u"reload");
            feed.read_after = ReadAfterOrDefault(reader, node);
            feed.max_items = reader.Short(node, u"maxItems");
            feed.extended_data = reader.Number(node, u"extendedData") != 0;
            feed.extended_audio = reader.Number(node, u"extendedAudio") != 0;
            feeds.emplace(reader.Number(node, u"id"), NewId{feed.feed_id, feed.priority});
            AddFeedRows(connection, feed, 0, 0);
        });

        // Memberships naming a view, subscription or feed that was not imported are dropped.
        reader.ForEach(u"viewFeeds", u"viewFeed", [&](const FeedNode* node) {
            auto view = views.find(reader.Number(node, u"viewID"));
            auto feed = feeds.find(reader.Number(node, u"feedID"));
            if (view == views.end() || feed == feeds.end()) return;
            connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(" +
                               Decimal(view->second.id) + u"," + Decimal(feed->second.id) + u"," +
                               Decimal(feed->second.priority) + u")");
        });
        reader.ForEach(u"subscriptionFeeds", u"subscriptionFeed", [&](const FeedNode* node) {
            auto subscription = subscriptions.find(reader.Number(node, u"subscriptionID"));
            auto feed = feeds.find(reader.Number(node, u"feedID"));
            if (subscription == subscriptions.end() || feed == feeds.end()) return;
            connection.Execute(u"Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(" +
                               Decimal(subscription->second.id) + u"," + Decimal(feed->second.id) + u")");
        });
        return true;
    });
}

}  // namespace qf
