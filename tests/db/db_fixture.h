// A database for one test: a throw-away device with a fresh database file opened by a FeedDatabase, and
// helpers that write rows through the record layer (as the feed update does) or read them back raw.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "db/feed_database.h"
#include "support/temp_device.h"

namespace qf::test {

// Answers message boxes with `answer` and records each one (with its button bits of the type).
struct ShownMessage {
    std::u16string text;
    std::u16string caption;
    UINT buttons = 0;
    bool operator==(const ShownMessage&) const = default;
};
class MessageBoxRecorder {
  public:
    explicit MessageBoxRecorder(int answer);
    ~MessageBoxRecorder();
    const std::vector<ShownMessage>& shown() const { return shown_; }

  private:
    std::vector<ShownMessage> shown_;
};

inline SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

class DbTest : public ::testing::Test {
  public:
    static constexpr char16_t kPath[] = u"\\db.cdb";

  protected:
    void SetUp() override;

    // Rows written through their own record-layer connection, like another writer of the file.
    // Insert runs "Insert Into <into> Values(<values>)" with the values as statement literals.
    void Insert(const std::u16string& into, std::initializer_list<std::u16string> values);
    void AddFeed(std::int32_t feed_id, const std::u16string& title, std::int16_t priority = 1,
                 std::int16_t status = 2, SYSTEMTIME last_feed_date = Date(2006, 1, 1));
    void AddView(std::int32_t view_id, const std::u16string& label, std::int16_t num_to_show = 75,
                 std::int16_t sort_by = 0, const std::u16string& keywords = u"", bool hide_read = false,
                 std::int16_t hide_after = 0);
    void AddItem(std::int32_t item_id, std::int32_t feed_id, const std::u16string& title,
                 SYSTEMTIME item_date = Date(2006, 1, 1), std::int16_t status = 1);
    void AddText(std::int32_t item_id, std::int32_t feed_id, std::int16_t link_order,
                 const std::u16string& text, bool long_text = false, std::int16_t keep = 0);
    void Execute(const std::u16string& sql);

    // Straight SQLite, bypassing the record layer: a count or one text cell.
    long long Count(const std::string& sql);
    std::string Text(const std::string& sql);
    // "Table=rows" for each table, space-separated, so that one comparison checks them all.
    std::string RowCounts(std::initializer_list<const char*> tables);
    void RawExecute(const std::string& sql);
    std::string HostPath() const;

    TempDevice device_;
    FeedDatabase db_;
};

}  // namespace qf::test
