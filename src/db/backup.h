// The backup file: views, subscriptions, feeds and their memberships (no items), one XML element per row
// below a <qfbk version="2.0"> root, written as UTF-8 with CR LF line ends. Reading one back adds every
// row with a new id.
#pragma once

#include <string>
#include <vector>

#include "db/db_result.h"

namespace qf {

class DatabaseConnection;

// Writes the backup of the open database to `file_path` (replacing the file). kRefused when the file
// cannot be written. Any thread; one database operation under the lock.
DbStatus ExportBackup(DatabaseConnection& database, const std::u16string& file_path);

// Adds what the backup file holds with new ids and answers the notes on what did not fit: values that
// do not fit their columns are clamped, and elements whose ids do not fit are skipped, one line each.
// Memberships naming a row that was not added are dropped; a pair the file repeats is added once.
// kRefused when the file is not a version 2.0 backup. Any thread; one database operation under the lock.
DbResult<std::vector<std::u16string>> ImportBackup(DatabaseConnection& database,
                                                   const std::u16string& file_path);

}  // namespace qf
