#include "db/default_database.h"

#include <windows.h>

#include "common/settings_store.h"
#include "db/feed_database.h"
#include "db/file_checks.h"

namespace qf {
std::u16string DatabasePathSetting() { return AppSettings().Read(setting::kDatabasePath); }

DefaultDatabase EnsureDefaultDatabase(const std::u16string& path) {
    FeedDatabase database;
    std::u16string recorded = DatabasePathSetting();
    if (!recorded.empty()) database.RecoverInterruptedCompaction(recorded);
    if (NonEmptyFileAt(recorded)) return DefaultDatabase::kExisting;
    database.RecoverInterruptedCompaction(path);
    if (!NonEmptyFileAt(path) && !database.Create(path, OverwritePrompt::kRefuse, DefaultViews::kCreate)) {
        return DefaultDatabase::kFailed;
    }
    AppSettings().Write(setting::kDatabasePath, path);
    return DefaultDatabase::kCreated;
}

}  // namespace qf
