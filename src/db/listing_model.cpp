#include "db/listing_model.h"

#include "common/settings_store.h"
#include "db/file_checks.h"
#include "db/listing_rules.h"
#include "db/row_readers.h"

namespace qf {

using db_detail::Decimal;

namespace {

constexpr int kFeedListingSize = 50;

std::u16string UntitledText(size_t position) {
    return u"No Title: Item #" + Decimal(static_cast<long long>(position));
}

}  // namespace

ListingModel::ListingModel() : database_(std::make_unique<FeedDatabase>()) {
    database_->set_verify_file(AppSettings().Read(setting::kVerifyDatabase));
    database_->set_use_lock(AppSettings().Read(setting::kLockDatabase));
}

ListingModel::~ListingModel() { database_->Reset(); }

bool ListingModel::LoadViews() {
    views_.clear();
    DbStatus loaded = database_->Run([&](AdoConnection& connection) {
        db_detail::ForEachRow(
            connection, u"Select ViewID,ParentID,Label,Status From Views Where Status <> 0 Order By Label",
            [&](AdoRecordset& row) {
                ViewEntry view;
                view.view_id = row.Field(0).AsInt();
                view.label = row.Field(2).AsString();
                view.status = row.Field(3).AsShort();
                views_.push_back(std::move(view));
            });
    });
    return loaded.ok();
}

bool ListingModel::LoadFeeds() {
    feeds_.clear();
    DbStatus loaded = database_->Run([&](AdoConnection& connection) {
        db_detail::ForEachRow(
            connection, std::u16string(db_detail::kSelectActiveFeedSummaries) + u"Title",
            [&](AdoRecordset& row) { feeds_.push_back(db_detail::ReadFeedSummary<FeedEntry>(row)); });
    });
    return loaded.ok();
}

bool ListingModel::BuildViewListing(std::int32_t view_id, bool hide_read) {
    listing_.clear();
    // One lock over the whole build, so that the rows, the audio list and the feeds agree.
    DatabaseLock lock(*database_);
    if (!lock) return false;
    DbResult<ViewRecord> view = database_->LoadView(view_id);
    if (!view) return false;
    DbResult<std::vector<ItemRecord>> items = database_->LoadViewItems(*view, hide_read);
    if (!items) return false;
    MakeRows(*items, database_->LoadAudio(1).value_or({}), view_id);
    return true;
}

bool ListingModel::BuildFeedListing(std::int32_t feed_id) {
    listing_.clear();
    DatabaseLock lock(*database_);
    if (!lock) return false;
    DbResult<std::vector<ItemRecord>> items = database_->LoadItemsOfFeed(feed_id, kFeedListingSize);
    if (!items) return false;
    std::vector<AudioRecord> audio = database_->LoadAudio(1).value_or({});
    if (!database_->LoadFeed(feed_id)) return false;
    MakeRows(*items, audio, 0);
    return true;
}

void ListingModel::MakeRows(const std::vector<ItemRecord>& items, const std::vector<AudioRecord>& audio,
                            std::int32_t view_id) {
    std::u16string audio_folder = database_->audio_folder();
    DbResult<FeedRecord> feed = DbError::kNotFound;
    std::int32_t loaded_feed_id = 0;
    bool feed_loaded = false;
    for (const ItemRecord& item : items) {
        ListingRow row;
        row.item_id = item.feed_item_id;
        row.title = item.title.empty() ? UntitledText(listing_.size() + 1) : item.title;
        row.item_status = item.status;
        row.item_date = item.item_date;
        row.link = item.link;
        if (!feed_loaded || item.feed_id != loaded_feed_id) {
            feed = database_->LoadFeed(item.feed_id);
            loaded_feed_id = item.feed_id;
            feed_loaded = true;
        }
        if (feed) {
            row.feed_id = feed->feed_id;
            row.feed_title = feed->title;
            row.feed_status = feed->status;
            row.feed_priority = feed->priority;
            row.feed_last_date = feed->last_feed_date;
        }
        row.view_id = view_id;
        for (const AudioRecord& record : audio) {
            if (record.feed_item_id != item.feed_item_id) continue;
            std::u16string path = AudioFilePath(audio_folder, record);
            if (NonEmptyFileAt(path)) {
                row.has_audio = true;
                row.audio_path = path;
            }
            break;
        }
        listing_.push_back(std::move(row));
    }
}

ListingRow* ListingModel::FindRow(std::int32_t item_id, LoadTexts load_texts) {
    for (ListingRow& row : listing_) {
        if (row.item_id != item_id) continue;
        if (load_texts == LoadTexts::kYes && row.texts_loaded == 0) {
            row.texts_loaded = 1;
            if (auto text = database_->LoadItemText(item_id, TextKind::kShort)) row.description = text->text;
            if (auto text = database_->LoadItemText(item_id, TextKind::kLong))
                row.extended_content = text->text;
        }
        return &row;
    }
    return nullptr;
}

}  // namespace qf
