// The feed update: a downloaded feed file stored as the feed's new data (new items with their texts,
// enclosures and keyword-view memberships, extended pages queued, old items purged), and the two smaller
// stores of a run: an item's extended page and an enclosure's status. Each runs as one database
// operation inside the database lock; the feed update writes in one transaction, so the feed is stored
// whole or not at all. Called on the download thread.
#pragma once

#include <cstdint>
#include <string>

#include "parse/feed_parser.h"

namespace qf {

class FeedDatabase;

// Receives the extended pages that a feed update queues (the download run adds them to its list).
class PageQueue {
  public:
    virtual void AddPageEntry(const std::u16string& url, std::int32_t feed_id, std::int32_t item_id,
                              const std::u16string& title) = 0;

  protected:
    ~PageQueue() = default;
};

// General/AutoPurgeFD: kOff keeps a feed's newest MaxItems items; kOn keeps those still in the file.
enum class AutoPurge { kOff, kOn };

enum class FeedOutcome {
    kStored,          // new data written (possibly with no new item)
    kSameDigest,      // the file is byte for byte the one stored last: nothing read or written
    kSameFeedDate,    // the channel date is the stored one: nothing written
    kNotAFeed,        // the file could not be parsed (parse_status says how)
    kDatabaseFailed,  // the database was not usable, its lock not free, or a statement failed
};

struct FeedUpdateReport {
    FeedOutcome outcome = FeedOutcome::kDatabaseFailed;
    FeedParseStatus parse_status = FeedParseStatus::kOk;
    int new_items = 0;
    int purged_items = 0;
};

// Stores the feed file `file` as feed `feed_id`'s new data. True when it was handled (stored or
// recognised as unchanged); false when it does not parse or the database failed (then nothing of this
// update is stored). `pages` (may be null) receives the extended pages of new items of a feed with
// extended data. `report` (may be null) says what happened. `mappings` (may be null: the settings are
// read) answers the custom element mappings of the parse.
bool UpdateFeed(FeedDatabase& database, std::int32_t feed_id, const std::u16string& file, PageQueue* pages,
                AutoPurge auto_purge, FeedUpdateReport* report = nullptr,
                const CustomMappingSource* mappings = nullptr);

// Stores the page file as the item's extended text, its relative links made absolute against
// `page_url`. True unless the database failed (a file that cannot be opened stores nothing).
bool StoreExtendedText(FeedDatabase& database, std::int32_t feed_id, std::int32_t item_id,
                       const std::u16string& file, const std::u16string& page_url);

// Sets the status of the item's enclosure row (0 pending, 1 downloaded). True when the database was
// reachable.
bool SetAudioStatus(FeedDatabase& database, std::int32_t item_id, std::int16_t status);

// The MD5 digest of a file's bytes as 32 lower-case hexadecimal digits; empty when it cannot be read.
std::u16string FileDigest(const std::u16string& path);

}  // namespace qf
