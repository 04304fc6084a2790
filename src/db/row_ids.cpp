#include "db/row_ids.h"

#include <limits>
#include <string>

#include "db/row_readers.h"
#include "parse/dates.h"

namespace qf {
namespace {

struct IdTable {
    const char16_t* table;
    const char16_t* column;
};

IdTable TableOf(IdColumn column) {
    switch (column) {
        case IdColumn::kViewId:
            return {u"Views", u"ViewID"};
        case IdColumn::kFeedId:
            return {u"Feeds", u"FeedID"};
        case IdColumn::kSubscriptionId:
            return {u"Subscriptions", u"SubscriptionID"};
        case IdColumn::kFeedItemId:
            break;
    }
    return {u"FeedItems", u"FeedItemID"};
}

// Opens `sql` read-only; a statement that does not open is a failure of the operation, not "no rows".
void OpenOrThrow(AdoRecordset& rows, AdoConnection& connection, const std::u16string& sql) {
    if (!rows.Open(sql, &connection)) QF_ADO_THROW(kAdoReadRefused);
}

bool IsUsed(AdoConnection& connection, const IdTable& id, std::int32_t number) {
    AdoRecordset rows;
    OpenOrThrow(rows, connection,
                u"Select " + std::u16string(id.column) + u" From " + id.table + u" Where " + id.column +
                    u" = " + db_detail::Decimal(number));
    return !rows.IsEOF();
}

// The lowest positive id no row has: only needed once the largest id is the largest number there is.
std::int32_t LowestFreeId(AdoConnection& connection, const IdTable& id) {
    AdoRecordset rows;
    OpenOrThrow(rows, connection,
                u"Select " + std::u16string(id.column) + u" From " + id.table + u" Where " + id.column +
                    u" > 0 Order By " + id.column);
    std::int64_t expected = 1;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        std::int64_t used = rows.Field(0).AsInt();
        if (used > expected) break;
        if (used == expected) ++expected;
    }
    if (expected > std::numeric_limits<std::int32_t>::max()) QF_ADO_THROW(kAdoUpdateRefused);
    return static_cast<std::int32_t>(expected);
}

}  // namespace

std::int32_t TakeUnusedId(AdoConnection& connection, IdColumn column, std::int32_t wish) {
    IdTable id = TableOf(column);
    std::int32_t candidate = wish > 0 ? wish : UniqueNumber();
    if (candidate > 0 && !IsUsed(connection, id, candidate)) return candidate;
    AdoRecordset largest;
    OpenOrThrow(largest, connection, u"Select Max(" + std::u16string(id.column) + u") From " + id.table);
    std::int32_t max_id = largest.IsEOF() ? 0 : largest.Field(0).AsInt();
    if (max_id < 1) return 1;
    if (max_id < std::numeric_limits<std::int32_t>::max()) return max_id + 1;
    return LowestFreeId(connection, id);
}

}  // namespace qf
