#include "download/feed_writer.h"

#include <algorithm>

#include "db/feed_database.h"
#include "db/row_readers.h"
#include "download/feed_text.h"
#include "parse/dates.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"
#include "shared/sql_text.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ForEachRow;
using db_detail::SplitColumns;

namespace {

constexpr std::int16_t kFeedStored = 2;
constexpr size_t kEnclosureLinkLength = 255;
constexpr size_t kChunkCharactersPerRecordset = 1 << 20;

// A statement of the update that did not run ends the update: its transaction is rolled back whole.
void Execute(AdoConnection& connection, const std::u16string& sql) {
    if (!connection.Execute(sql)) QF_ADO_THROW(kAdoUpdateRefused);
}

void OpenForChange(AdoRecordset& rows, AdoConnection& connection, const std::u16string& sql) {
    if (!rows.Open(sql, &connection, adOpenDynamic, adLockPessimistic)) QF_ADO_THROW(kAdoUpdateRefused);
}

std::u16string KnownKey(const std::u16string& key, const std::u16string& title) {
    return key + u"\n" + title;
}

}  // namespace

FeedWriter::FeedWriter(FeedDatabase& database, AdoConnection& connection, std::int32_t feed_id,
                       const FeedValues& values, PageQueue* pages)
    : database_(database),
      connection_(connection),
      feed_id_(feed_id),
      values_(values),
      pages_(pages),
      feed_number_(Decimal(feed_id)) {}

void FeedWriter::WriteFeedRow(const ParsedFeed& feed, const std::u16string& digest,
                              const SYSTEMTIME& feed_date, const SYSTEMTIME& now) {
    AdoRecordset row;
    OpenForChange(row, connection_,
                  u"Select FeedID,Title,FeedType,LinkUrl,Description1,Description2,LastDigestKey,"
                  u"LastDownloadDate,LastFeedDate,Status From Feeds Where FeedID = " +
                      feed_number_);
    if (row.IsEOF()) return;
    db_detail::SplitText description = SplitColumns(ShortenDescription(feed.description));
    row.Field(1).SetString(CleanTitle(feed.title));
    row.Field(2).SetShort(static_cast<std::int16_t>(feed.format));
    row.Field(3).SetString(CleanChannelLink(feed.link));
    row.Field(4).SetString(description.first);
    row.Field(5).SetString(description.second);
    row.Field(6).SetString(digest);
    row.Field(7).SetDate(now);
    row.Field(8).SetDate(feed_date);
    row.Field(9).SetShort(kFeedStored);
    row.Update();
}

// Item ids come from UniqueNumber, one per parsed item, but a number at or below an id already stored
// is moved past it: another process's counter, or this one's after a run of many items, may have gone
// ahead of the clock, and the purge takes the largest ids for the newest items.
std::int32_t FeedWriter::NextItemId() {
    if (!largest_id_) {
        largest_id_ = 0;
        ForEachRow(connection_, u"Select max(FeedItemID) From FeedItems",
                   [&](AdoRecordset& row) { largest_id_ = row.Field(0).AsInt(); });
    }
    std::int32_t id = std::max(UniqueNumber(), *largest_id_ + 1);
    largest_id_ = id;
    return id;
}

// One read of the feed's items answers every item's look-up ("the same feed, the same key and the same
// title"); a stored item without a key is never found, as the look-up treats it.
void FeedWriter::LoadKnownItems() {
    ForEachRow(connection_, u"Select FeedItemID,GUID,Title From FeedItems Where FeedID = " + feed_number_,
               [&](AdoRecordset& row) {
                   std::int32_t id = row.Field(0).AsInt();
                   std::u16string key = row.Field(1).AsString();
                   if (!key.empty()) known_.emplace(KnownKey(key, row.Field(2).AsString()), id);
               });
}

int FeedWriter::WriteItems(const std::vector<ParsedItem>& items, AutoPurge auto_purge,
                           const SYSTEMTIME& now) {
    LoadKnownItems();
    std::vector<Candidate> candidates;
    candidates.reserve(items.size());
    size_t new_count = 0;
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        Candidate candidate{&*item, NextItemId(), CleanTitle(item->title), CleanItemLink(item->link),
                            {},     false};
        candidate.key = ItemKey(item->guid, item->date, candidate.link);
        auto found = known_.find(KnownKey(candidate.key, candidate.title));
        if (found != known_.end()) {
            present_.insert(found->second);
        } else {
            candidate.is_new = true;
            ++new_count;
            present_.insert(candidate.id);
            // A second copy of the item further on in the file is found as stored.
            if (!candidate.key.empty())
                known_.emplace(KnownKey(candidate.key, candidate.title), candidate.id);
        }
        candidates.push_back(std::move(candidate));
    }
    // Ids grow in writing order, so with purging by count the first new items written would be the
    // first purged whenever more than MaxItems newer ones follow them.
    size_t doomed =
        auto_purge == AutoPurge::kOff && new_count > static_cast<size_t>(std::max(values_.max_items, 0))
            ? new_count - std::max(values_.max_items, 0)
            : 0;
    int stored = 0;
    size_t ordinal = 0;
    for (const Candidate& candidate : candidates) {
        if (!candidate.is_new || ordinal++ < doomed) continue;
        WriteItem(candidate, now);
        ++stored;
    }
    return stored;
}

void FeedWriter::WriteItem(const Candidate& candidate, const SYSTEMTIME& now) {
    const ParsedItem& item = *candidate.item;
    if (!new_items_.IsOpen()) {
        OpenForChange(
            new_items_, connection_,
            u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from "
            u"FeedItems Where FeedItemID = 0");
    }
    db_detail::SplitText link_columns = SplitColumns(candidate.link);
    new_items_.AddNew();
    new_items_.Field(0).SetInt(candidate.id);
    new_items_.Field(1).SetInt(feed_id_);
    new_items_.Field(2).SetString(candidate.key);
    new_items_.Field(3).SetString(candidate.title);
    new_items_.Field(4).SetString(link_columns.first);
    new_items_.Field(5).SetString(link_columns.second);
    new_items_.Field(6).SetShort(kItemUnread);
    new_items_.Field(7).SetDate(StoredDate(ItemDate(item.date)));
    new_items_.Field(8).SetDate(now);
    new_items_.Update();

    WriteChunks(candidate.id, item.description);
    if (values_.extended_data && pages_ != nullptr) {
        ++pages_queued_;
        pages_->AddPageEntry(candidate.link, feed_id_, candidate.id,
                             u"Extended Data (" + Decimal(pages_queued_) + u") for: " + values_.page_title);
    }
    if (values_.extended_audio && !item.enclosure_url.empty()) {
        std::u16string enclosure =
            DecodeEntities(DecodeEntities(item.enclosure_url)).substr(0, kEnclosureLinkLength);
        Execute(connection_,
                u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(" +
                    Decimal(candidate.id) + u"," + feed_number_ + u"," + sql::Quote(enclosure) + u"," +
                    Decimal(item.enclosure_length) + u",0,0)");
    }
    WriteMemberships(candidate.id, item);
}

void FeedWriter::WriteChunks(std::int32_t id, std::u16string_view text) {
    std::vector<std::u16string_view> chunks = TextChunks(text);
    if (chunks.empty()) return;
    if (!new_chunks_.IsOpen()) {
        OpenForChange(
            new_chunks_, connection_,
            u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemShortData Where FeedItemID = 0");
    }
    WriteTextChunks(new_chunks_, id, feed_id_, chunks);
    // The recordset keeps the rows it added; a fresh one now and then keeps that small.
    chunk_characters_ += text.size();
    if (chunk_characters_ > kChunkCharactersPerRecordset) {
        new_chunks_.Close();
        chunk_characters_ = 0;
    }
}

// Keyword views are read once per update: they cannot change while the lock is held.
void FeedWriter::WriteMemberships(std::int32_t id, const ParsedItem& item) {
    if (!keyword_views_) {
        keyword_views_.emplace();
        ForEachRow(connection_,
                   u"Select ViewID,Keywords From Views Where Status <> 0 And Keywords <> '' And ViewID <> 1",
                   [&](AdoRecordset& row) {
                       std::int32_t view = row.Field(0).AsInt();
                       keyword_views_->push_back({view, row.Field(1).AsString()});
                   });
    }
    if (keyword_views_->empty()) return;
    std::u16string title = text::ToLower(item.title);
    std::u16string description = text::ToLower(item.description);
    for (const auto& [view, keywords] : *keyword_views_) {
        if (!MatchesKeywords(keywords, description, title)) continue;
        Execute(connection_, u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(" +
                                 Decimal(view) + u"," + feed_number_ + u"," + Decimal(id) + u"," +
                                 Decimal(values_.priority) + u")");
    }
}

int FeedWriter::Purge(AutoPurge auto_purge) {
    std::vector<std::int32_t> purged;
    int position = 0;
    ForEachRow(connection_,
               u"Select FeedItemID From FeedItems Where Status <> 3 And FeedID = " + feed_number_ +
                   u" Order By FeedItemID Desc",
               [&](AdoRecordset& row) {
                   std::int32_t id = row.Field(0).AsInt();
                   ++position;
                   bool drop =
                       auto_purge == AutoPurge::kOn ? present_.count(id) == 0 : position > values_.max_items;
                   if (drop) purged.push_back(id);
               });
    if (purged.empty()) return 0;
    // The downloaded enclosures as they stand now name the audio files that go with the items.
    DbResult<std::vector<AudioRecord>> audio = database_.LoadAudio(1);
    if (!audio) QF_ADO_THROW(kAdoUpdateRefused);
    for (std::int32_t id : purged) {
        if (!database_.DeleteItem(id, *audio)) QF_ADO_THROW(kAdoUpdateRefused);
    }
    return static_cast<int>(purged.size());
}

void WriteTextChunks(AdoRecordset& rows, std::int32_t item_id, std::int32_t feed_id,
                     const std::vector<std::u16string_view>& chunks) {
    std::int16_t order = 0;
    for (std::u16string_view chunk : chunks) {
        rows.AddNew();
        rows.Field(0).SetInt(item_id);
        rows.Field(1).SetInt(feed_id);
        rows.Field(2).SetShort(++order);
        rows.Field(3).SetShort(0);
        rows.Field(4).SetString(std::u16string(chunk));
        rows.Update();
    }
}

}  // namespace qf
