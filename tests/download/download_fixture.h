// A device with a fresh database for the download tests: feeds added through FeedDatabase, feed files
// written into the device, rows read back straight from SQLite.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "db/feed_database.h"
#include "support/temp_device.h"

namespace qf::test {

struct FeedItemText {
    std::string title;
    std::string guid;
    std::string date;
    std::string link;
    std::string description;
    std::string enclosure;  // an audio/mpeg enclosure of 3000 bytes when not empty
};

// An RSS 2.0 file with the channel date `date` (none when empty) and the items in document order.
std::string Rss(const std::vector<FeedItemText>& items, const std::string& date = "");

class DownloadTest : public ::testing::Test {
  protected:
    static constexpr char16_t kDatabase[] = u"\\db.cdb";

    void SetUp() override;
    // Adds an active feed with `max_items` and the extended flags; answers its id.
    std::int32_t AddFeed(const std::string& url, std::int16_t max_items = 50, bool extended_data = false,
                         bool extended_audio = false, std::int16_t status = kFeedActive);
    // Writes `text` to the device file `name` ("\" + name); answers the device path.
    std::u16string WriteFile(const std::string& name, const std::string& text);

    // Runs a statement through the record layer, as the database code does.
    void Execute(const std::u16string& sql);
    long long Count(const std::string& sql);
    std::string Text(const std::string& sql);

    TempDevice device_;
    FeedDatabase db_;
    std::int32_t next_feed_id_ = 100;
};

}  // namespace qf::test
