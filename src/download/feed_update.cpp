#include "download/feed_update.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "common/settings_store.h"
#include "common/text_file.h"
#include "db/feed_database.h"
#include "db/row_readers.h"
#include "download/feed_text.h"
#include "parse/dates.h"
#include "parse/feed_format.h"
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

// The defaults stand when the feed's row cannot be read.
struct FeedValues {
    int max_items = 50;
    bool extended_data = false;
    bool extended_audio = false;
    std::int16_t priority = 1;
    std::u16string stored_date;  // FormatGmt of LastFeedDate
    std::u16string page_title;   // the feed's title, cleaned, for page entries
};

FeedValues ValuesOf(const std::optional<FeedRecord>& row) {
    FeedValues values;
    if (!row) return values;
    values.max_items = row->max_items;
    values.extended_data = row->extended_data;
    values.extended_audio = row->extended_audio;
    values.priority = row->priority;
    values.stored_date = FormatGmt(row->last_feed_date);
    values.page_title = StripMarkup(DecodeEntities(DecodeEntities(row->title)));
    return values;
}

std::optional<std::string> ReadBytes(const std::u16string& path) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) return std::nullopt;
    std::string bytes(file.GetLength(), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        UINT read = file.Read(bytes.data() + done, static_cast<UINT>(std::min<size_t>(bytes.size() - done, 1 << 30)));
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::u16string Md5Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr)) return {};
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 15]);
    }
    return hex;
}

// A statement of the update that did not run ends the update: its transaction is rolled back whole.
void Execute(AdoConnection& connection, const std::u16string& sql) {
    if (!connection.Execute(sql)) QF_ADO_THROW(kAdoUpdateRefused);
}

void OpenForChange(AdoRecordset& rows, AdoConnection& connection, const std::u16string& sql) {
    if (!rows.Open(sql, &connection, adOpenDynamic, adLockPessimistic)) QF_ADO_THROW(kAdoUpdateRefused);
}

// The writes of one feed update, in one transaction of the connection.
class FeedWriter {
  public:
    FeedWriter(FeedDatabase& database, AdoConnection& connection, std::int32_t feed_id, const FeedValues& values,
               PageQueue* pages)
        : database_(database), connection_(connection), feed_id_(feed_id), values_(values), pages_(pages),
          feed_number_(Decimal(feed_id)) {}

    void WriteFeedRow(const ParsedFeed& feed, const std::u16string& digest, const SYSTEMTIME& feed_date,
                      const SYSTEMTIME& now) {
        AdoRecordset row;
        OpenForChange(row, connection_,
                      u"Select FeedID,Title,FeedType,LinkUrl,Description1,Description2,LastDigestKey,"
                      u"LastDownloadDate,LastFeedDate,Status From Feeds Where FeedID = " +
                          feed_number_);
        if (row.IsEOF()) return;
        db_detail::SplitText description = SplitColumns(ShortenDescription(feed.description));
        row.Field(1).SetString(CleanTitle(feed.title));
        row.Field(2).SetShort(static_cast<std::int16_t>(feed.formatCode));
        row.Field(3).SetString(CleanChannelLink(feed.link));
        row.Field(4).SetString(description.first);
        row.Field(5).SetString(description.second);
        row.Field(6).SetString(digest);
        row.Field(7).SetDate(now);
        row.Field(8).SetDate(feed_date);
        row.Field(9).SetShort(kFeedStored);
        row.Update();
    }

    // Stores the item unless it is known; answers whether it was new.
    bool WriteItem(const ParsedItem& item, const SYSTEMTIME& now) {
        std::int32_t id = NextItemId();
        std::u16string title = CleanTitle(item.title);
        std::u16string link = CleanItemLink(item.link);
        std::u16string key = ItemKey(item.guid, item.date, link);
        AdoRecordset rows;
        OpenForChange(rows, connection_,
                      u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from "
                      u"FeedItems Where FeedID = " +
                          feed_number_ + u" AND GUID = " + sql::Quote(key) + u" AND Title = " + sql::Quote(title));
        bool is_new = rows.IsEOF() || rows.Field(2).AsString().empty();
        if (!is_new) {
            present_.insert(rows.Field(0).AsInt());
            return false;
        }
        db_detail::SplitText link_columns = SplitColumns(link);
        rows.AddNew();
        rows.Field(0).SetInt(id);
        rows.Field(1).SetInt(feed_id_);
        rows.Field(2).SetString(key);
        rows.Field(3).SetString(title);
        rows.Field(4).SetString(link_columns.first);
        rows.Field(5).SetString(link_columns.second);
        rows.Field(6).SetShort(kItemUnread);
        rows.Field(7).SetDate(StoredDate(ItemDate(item.date)));
        rows.Field(8).SetDate(now);
        rows.Update();
        present_.insert(id);

        WriteChunks(id, item.description);
        if (values_.extended_data && pages_ != nullptr) {
            ++pages_queued_;
            pages_->AddPageEntry(link, feed_id_, id,
                                 u"Extended Data (" + Decimal(pages_queued_) + u") for: " + values_.page_title);
        }
        if (values_.extended_audio && !item.enclosureUrl.empty()) {
            std::u16string enclosure = DecodeEntities(DecodeEntities(item.enclosureUrl)).substr(0, kEnclosureLinkLength);
            Execute(connection_, u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(" +
                                     Decimal(id) + u"," + feed_number_ + u"," + sql::Quote(enclosure) + u"," +
                                     Decimal(item.enclosureLength) + u",0,0)");
        }
        WriteMemberships(id, item);
        return true;
    }

    // Removes the items that the purge rule drops; answers how many.
    int Purge(AutoPurge auto_purge) {
        std::vector<std::int32_t> purged;
        int position = 0;
        ForEachRow(connection_,
                   u"Select FeedItemID From FeedItems Where Status <> 3 And FeedID = " + feed_number_ +
                       u" Order By FeedItemID Desc",
                   [&](AdoRecordset& row) {
                       std::int32_t id = row.Field(0).AsInt();
                       ++position;
                       bool drop = auto_purge == AutoPurge::kOn ? present_.count(id) == 0
                                                                : position > values_.max_items;
                       if (drop) purged.push_back(id);
                   });
        // The downloaded enclosures as they stand now name the audio files that go with the items.
        if (!purged.empty() && !database_.LoadAudio(1)) QF_ADO_THROW(kAdoUpdateRefused);
        for (std::int32_t id : purged) {
            if (!database_.DeleteItem(id)) QF_ADO_THROW(kAdoUpdateRefused);
        }
        return static_cast<int>(purged.size());
    }

  private:
    // Item ids come from UniqueNumber, one per parsed item, but a number at or below an id already stored
    // is moved past it: another process's counter, or this one's from a run of many items, may have gone
    // ahead of the clock, and the purge takes the largest ids for the newest items.
    std::int32_t NextItemId() {
        if (!largest_id_) {
            largest_id_ = 0;
            ForEachRow(connection_, u"Select max(FeedItemID) From FeedItems",
                       [&](AdoRecordset& row) { largest_id_ = row.Field(0).AsInt(); });
        }
        std::int32_t id = std::max(UniqueNumber(), *largest_id_ + 1);
        largest_id_ = id;
        return id;
    }

    void WriteChunks(std::int32_t id, std::u16string_view text) {
        std::vector<std::u16string_view> chunks = TextChunks(text);
        if (chunks.empty()) return;
        AdoRecordset rows;
        OpenForChange(rows, connection_,
                      u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemShortData Where FeedItemID = 0");
        std::int16_t order = 0;
        for (std::u16string_view chunk : chunks) {
            rows.AddNew();
            rows.Field(0).SetInt(id);
            rows.Field(1).SetInt(feed_id_);
            rows.Field(2).SetShort(++order);
            rows.Field(3).SetShort(0);
            rows.Field(4).SetString(std::u16string(chunk));
            rows.Update();
        }
    }

    // Keyword views are read once per update: they cannot change while the lock is held.
    void WriteMemberships(std::int32_t id, const ParsedItem& item) {
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

    FeedDatabase& database_;
    AdoConnection& connection_;
    std::int32_t feed_id_;
    const FeedValues& values_;
    PageQueue* pages_;
    std::u16string feed_number_;
    std::unordered_set<std::int32_t> present_;
    int pages_queued_ = 0;
    std::optional<std::vector<std::pair<std::int32_t, std::u16string>>> keyword_views_;
    std::optional<std::int32_t> largest_id_;
};

// Runs `body` in one transaction: a failure inside rolls everything of it back.
template <typename Body>
void InTransaction(AdoConnection& connection, Body&& body) {
    if (!connection.BeginTrans()) QF_ADO_THROW(kAdoUpdateRefused);
    try {
        body();
    } catch (...) {
        connection.RollbackTrans();
        throw;
    }
    if (!connection.CommitTrans()) {
        connection.RollbackTrans();
        QF_ADO_THROW(kAdoUpdateRefused);
    }
}

bool Finish(FeedUpdateReport& report, FeedOutcome outcome) {
    report.outcome = outcome;
    return outcome != FeedOutcome::kNotAFeed && outcome != FeedOutcome::kDatabaseFailed;
}

}  // namespace

std::u16string FileDigest(const std::u16string& path) {
    std::optional<std::string> bytes = ReadBytes(path);
    return bytes ? Md5Hex(*bytes) : std::u16string();
}

bool UpdateFeed(FeedDatabase& database, std::int32_t feed_id, const std::u16string& file, PageQueue* pages,
                AutoPurge auto_purge, FeedUpdateReport* report) {
    FeedUpdateReport local;
    FeedUpdateReport& result = report != nullptr ? *report : local;
    result = FeedUpdateReport{};
    std::optional<std::string> bytes = ReadBytes(file);
    std::u16string digest = bytes ? Md5Hex(*bytes) : std::u16string();
    std::optional<FeedRecord> row = database.LoadFeed(feed_id);
    if (row && !digest.empty() && row->last_digest_key == digest) return Finish(result, FeedOutcome::kSameDigest);
    FeedValues values = ValuesOf(row);

    ParsedFeed feed;
    auto mappings = [](int map_index) { return ReadCustomMapping(AppSettings(), map_index); };
    result.parse_status = bytes ? ParseFeedBytes(feed, *bytes, file, mappings) : FeedParseStatus::kUnreadable;
    if (result.parse_status != FeedParseStatus::kOk) return Finish(result, FeedOutcome::kNotAFeed);
    bytes.reset();  // the parsed feed holds what is needed
    DateTime feed_date = feed.date.empty() ? NowGmt() : ItemDate(feed.date);
    if (!feed.date.empty() && FormatGmt(feed_date) == values.stored_date) {
        return Finish(result, FeedOutcome::kSameFeedDate);
    }

    bool stored = database.Run(false, [&](AdoConnection& connection) {
        InTransaction(connection, [&] {
            SYSTEMTIME now = NowGmtSystemTime();
            FeedWriter writer(database, connection, feed_id, values, pages);
            writer.WriteFeedRow(feed, digest, StoredDate(feed_date), now);
            for (auto item = feed.items.rbegin(); item != feed.items.rend(); ++item) {
                if (writer.WriteItem(*item, now)) ++result.new_items;
            }
            result.purged_items = writer.Purge(auto_purge);
        });
        return true;
    });
    if (!stored) {
        result.new_items = 0;
        result.purged_items = 0;
        return Finish(result, FeedOutcome::kDatabaseFailed);
    }
    return Finish(result, FeedOutcome::kStored);
}

bool StoreExtendedText(FeedDatabase& database, std::int32_t feed_id, std::int32_t item_id,
                       const std::u16string& file, const std::u16string& page_url) {
    return database.Run(false, [&](AdoConnection& connection) {
        TextFile page;
        if (!page.Open(file, CFile::modeRead)) return true;
        std::u16string text = AbsolutizeLinks(page.ReadAll(TextConversion::kDecode), page_url);
        std::vector<std::u16string_view> chunks = TextChunks(text);
        if (chunks.empty()) return true;
        InTransaction(connection, [&] {
            AdoRecordset rows;
            OpenForChange(rows, connection,
                          u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemLongData Where FeedItemID = 0");
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
        });
        return true;
    });
}

bool SetAudioStatus(FeedDatabase& database, std::int32_t item_id, std::int16_t status) {
    return database.Run(false, [&](AdoConnection& connection) {
        AdoRecordset row;
        OpenForChange(row, connection,
                      u"Select FeedItemID,Status From FeedItemAudioData Where FeedItemID = " + Decimal(item_id));
        if (!row.IsEOF()) {
            row.Field(1).SetShort(status);
            row.Update();
        }
        return true;
    });
}

}  // namespace qf
