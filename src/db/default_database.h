// The database a device starts with: `quillfeed init` and `quillfeed db create` make it and record its
// path in the setting General/Database, where the item and the command line find it.
#pragma once

#include <string>

namespace qf {

inline constexpr char16_t kDefaultDatabasePath[] = u"\\Program Files\\Quillfeed\\Quillfeed.cdb";

enum class DefaultDatabase { kExisting, kCreated, kFailed };

// The path stored in General/Database (empty when none is stored). Any thread.
std::u16string DatabasePathSetting();

// Makes sure the device has a database without touching one that is there (a database that an
// interrupted compaction left aside is put back first): when General/Database names an existing file,
// nothing changes (kExisting); otherwise a database file at `path` is kept when it holds data, or created
// with the schema and the default views (its folder must exist), and its path is stored in
// General/Database (kCreated). kFailed when the file cannot be made (nothing is stored then). Asks
// nothing. Any thread.
DefaultDatabase EnsureDefaultDatabase(const std::u16string& path = kDefaultDatabasePath);

}  // namespace qf
