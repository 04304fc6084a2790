#include "download/feed_update.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "common/settings_store.h"
#include "common/text_file.h"
#include "db/feed_database.h"
#include "db/row_readers.h"
#include "download/feed_text.h"
#include "download/feed_writer.h"
#include "parse/dates.h"
#include "parse/feed_format.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"
#include "shared/sql_text.h"

namespace qf {

using db_detail::Decimal;

namespace {

FeedValues ValuesOf(const DbResult<FeedRecord>& row) {
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
        UINT read =
            file.Read(bytes.data() + done, static_cast<UINT>(std::min<size_t>(bytes.size() - done, 1 << 30)));
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
                AutoPurge auto_purge, FeedUpdateReport* report, const CustomMappingSource* mappings) {
    FeedUpdateReport local;
    FeedUpdateReport& result = report != nullptr ? *report : local;
    result = FeedUpdateReport{};
    std::optional<std::string> bytes = ReadBytes(file);
    std::u16string digest = bytes ? Md5Hex(*bytes) : std::u16string();
    DbResult<FeedRecord> row = database.LoadFeed(feed_id);
    if (row && !digest.empty() && row->last_digest_key == digest)
        return Finish(result, FeedOutcome::kSameDigest);
    FeedValues values = ValuesOf(row);

    ParsedFeed feed;
    ParseOptions from_settings = ParseOptionsFrom(AppSettings());
    result.parse_status =
        bytes ? ParseFeedBytes(feed, *bytes, file, mappings ? *mappings : from_settings.mappings,
                               from_settings.atom10)
              : FeedParseStatus::kUnreadable;
    if (result.parse_status != FeedParseStatus::kOk) return Finish(result, FeedOutcome::kNotAFeed);
    bytes.reset();  // the parsed feed holds what is needed
    DateTime feed_date = feed.date.empty() ? NowGmt() : ItemDate(feed.date);
    if (!feed.date.empty() && FormatGmt(feed_date) == values.stored_date) {
        return Finish(result, FeedOutcome::kSameFeedDate);
    }

    DbStatus stored = database.Run([&](AdoConnection& connection) {
        InTransaction(connection, [&] {
            SYSTEMTIME now = NowGmtSystemTime();
            FeedWriter writer(database, connection, feed_id, values, pages);
            writer.WriteFeedRow(feed, digest, StoredDate(feed_date), now);
            result.new_items = writer.WriteItems(feed.items, auto_purge, now);
            result.purged_items = writer.Purge(auto_purge);
        });
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
    return database
        .Run([&](AdoConnection& connection) {
            TextFile page;
            if (!page.Open(file, CFile::modeRead)) return;
            std::u16string text = AbsolutizeLinks(page.ReadAll(TextConversion::kDecode), page_url);
            std::vector<std::u16string_view> chunks = TextChunks(text);
            if (chunks.empty()) return;
            InTransaction(connection, [&] {
                AdoRecordset rows;
                if (!rows.Open(
                        u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemLongData Where "
                        u"FeedItemID = 0",
                        &connection, adOpenDynamic, adLockPessimistic)) {
                    QF_ADO_THROW(kAdoUpdateRefused);
                }
                WriteTextChunks(rows, item_id, feed_id, chunks);
            });
        })
        .ok();
}

bool SetAudioStatus(FeedDatabase& database, std::int32_t item_id, std::int16_t status) {
    return database
        .Run([&](AdoConnection& connection) {
            AdoRecordset row;
            if (!row.Open(
                    u"Select FeedItemID,Status From FeedItemAudioData Where FeedItemID = " + Decimal(item_id),
                    &connection, adOpenDynamic, adLockPessimistic)) {
                QF_ADO_THROW(kAdoUpdateRefused);
            }
            if (!row.IsEOF()) {
                row.Field(1).SetShort(status);
                row.Update();
            }
        })
        .ok();
}

}  // namespace qf
