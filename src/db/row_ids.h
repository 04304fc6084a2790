// Identifiers of new rows. The number source is the seconds since 2001 plus the per-process counter, but
// two processes, a pinned or backward clock, or rows imported ahead of the clock can all hand out a
// number that is already in use; so the writer takes the id under the database lock, checked against the
// table, and inserts its row under the same lock.
#pragma once

#include <cstdint>

#include "shared/adoclass31.h"

namespace qf {

// The id columns that new rows need numbers for.
enum class IdColumn { kViewId, kFeedId, kSubscriptionId, kFeedItemId };

// The caller holds the database lock and inserts the row before releasing it. The candidate is `wish`
// when positive, else the next number of the source; it is the answer when it is positive and no row of
// the table has it, else one more than the largest id in the table (or, should that overflow, the lowest
// free positive id). So the answer is always positive and unused. Throws CAdoException when the table
// cannot be read.
std::int32_t TakeUnusedId(AdoConnection& connection, IdColumn column, std::int32_t wish = 0);

}  // namespace qf
