// Compaction: the database is rebuilt through a copy beside it, which then takes its place. The old file
// is moved aside (to "<database>.qfaside") before the new one moves in, so that whichever step a crash
// interrupts, a complete database remains: at its path, or aside, from where the next access puts it back.
#pragma once

#include <string>

#include "db/db_result.h"

namespace qf {

class DatabaseConnection;

// Rebuilds the open database without the free space of deleted rows. First sends the release-database
// message so that an item window lets go of the file, then copies every table under one hold of the
// lock and exchanges the files. kQueryFailed when the copy fails or another connection still has the
// file open (nothing changes then). The connection stays closed afterwards; the next operation
// reconnects. Any thread.
DbStatus CompactDatabase(DatabaseConnection& database);

// Whether a compaction left a database aside for `database_path`. Any thread.
bool HasAsideDatabase(const std::u16string& database_path);

// Moves a database that a compaction left aside back to `database_path` when nothing is there, or else
// keeps it under the first free numbered name beside it ("<aside>-1", ...), so that no later compaction
// replaces it. Nothing without an aside file. Call holding the database lock.
void PutBackAsideDatabase(const std::u16string& database_path);

}  // namespace qf
