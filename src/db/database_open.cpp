// Opening an existing database (version check and the one upgrade) and creating a new one.
#include <cmath>
#include <string>

#include "common/settings_store.h"
#include "common/system_info.h"
#include "db/database_connection.h"
#include "db/file_checks.h"
#include "db/schema.h"
#include "db/shell_effects.h"

namespace qf {
namespace {

constexpr double kCreateNeedsKb = 200;

// The stored version; empty when the row is missing or does not read, nullopt when reading throws.
std::optional<std::u16string> ReadVersion(AdoConnection& connection) {
    try {
        AdoRecordset versions;
        if (versions.Open(u"Select VersionNumber from VersionInfo Where VersionInfoID = 1", &connection) &&
            !versions.IsEOF()) {
            return versions.Field(0).AsString();
        }
        return std::u16string();
    } catch (const CException&) {
        return std::nullopt;
    }
}

// Brings a 1.0 file to the current version: the ReadAfter column (10 days for every feed), the version
// row and the engine's indexes.
bool UpgradeFromOneDotZero(AdoConnection& db) {
    try {
        db.Execute(u"Delete From VersionInfo");
        db.Execute(u"ALTER TABLE Feeds ADD ReadAfter smallint");
        db.Execute(u"ALTER TABLE Feeds MOVE ReadAfter BEFORE MaxItems");
        db.Execute(schema::VersionInsert(schema::kCurrentVersion, schema::NowDateLiteral()));
        for (const char16_t* statement : schema::kEngineIndexes) db.Execute(statement);
        AdoRecordset feeds;
        if (feeds.Open(u"Select FeedID,ReadAfter from Feeds", &db, adOpenDynamic, adLockPessimistic)) {
            for (feeds.MoveFirst(); !feeds.IsEOF(); feeds.MoveNext()) {
                feeds.Field(1).SetShort(10);
                feeds.Update();
            }
        }
        AppSettings().Write(setting::kTodayHasChanged, true);
        return true;
    } catch (const CException&) {
        return false;
    }
}

}  // namespace

OpenResult DatabaseConnection::Open(const std::u16string& path, MissingMessage missing_message) {
    Reset();
    {
        std::lock_guard lock(state_mutex_);
        path_ = path;
    }
    show_missing_message_ = missing_message == MissingMessage::kShowOnce;
    DatabaseLock lock(*this);
    if (!lock && lock.error() == DbError::kLockTimedOut) return OpenResult::kLockFailed;
    std::shared_ptr<AdoConnection> connection = lock.Connection();
    if (!connection) {
        ForgetPath();
        return OpenResult::kFailed;
    }
    std::optional<std::u16string> version = ReadVersion(*connection);
    connection.reset();
    if (!version) return OpenResult::kFailed;
    if (*version == schema::kCurrentVersion) {
        ready_ = true;
        return OpenResult::kReady;
    }
    if (!suppress_upgrade_prompt_) return AskAndUpgrade(lock, *version);
    lock.Disconnect();
    return OpenResult::kUpgradeDeclined;
}

DbResult<std::u16string> DatabaseConnection::Version() {
    return Run([](AdoConnection& connection) { return ReadVersion(connection).value_or(u"0"); });
}

// Still holding the lock: the item window lets go of the file, the user is asked, and a 1.0 file is
// brought to the current version and opened afresh.
OpenResult DatabaseConnection::AskAndUpgrade(DatabaseLock& lock, const std::u16string& version) {
    SendReleaseDatabase();
    int answer =
        MessageBoxW(nullptr,
                    u"The Database structure needs to be updated.  This may take several minutes.\n\n"
                    u"Do you want to update the database?",
                    u"Database Update Required", MB_YESNO);
    bool upgraded = false;
    if (answer == IDYES && version == schema::kUpgradableVersion) {
        std::shared_ptr<AdoConnection> connection = lock.Connection();
        upgraded = connection && UpgradeFromOneDotZero(*connection);
    }
    lock.Disconnect();
    if (answer != IDYES) return OpenResult::kUpgradeDeclined;
    if (!upgraded) return OpenResult::kFailed;
    if (!lock.Connection()) {
        ForgetPath();
        return OpenResult::kFailed;
    }
    ready_ = true;
    return OpenResult::kReady;
}

DbStatus DatabaseConnection::Create(const std::u16string& path, OverwritePrompt overwrite,
                                    DefaultViews default_views) {
    std::u16string folder = FolderOf(path);
    double free_kb = free_space_kb_(folder.empty() ? u"\\" : folder);
    if (free_kb < kCreateNeedsKb) {
        std::u16string text = u"Sorry, but there is not enough available space. 200KB is needed, but only " +
                              Utf8ToWide(std::to_string(static_cast<long long>(std::trunc(free_kb)))) +
                              u"KB is available.";
        MessageBoxW(nullptr, text.c_str(), u"Create Error", MB_OK);
        return DbError::kRefused;
    }
    RecoverInterruptedCompaction(path);
    if (NonEmptyFileAt(path)) {
        if (overwrite == OverwritePrompt::kRefuse) return DbError::kRefused;
        if (overwrite == OverwritePrompt::kAsk &&
            MessageBoxW(
                nullptr,
                u"A database already exists.\n\nAre you sure you want to overwrite the existing database?",
                u"Overwrite Warning", MB_YESNO) != IDYES) {
            return DbError::kRefused;
        }
        DeleteFileW(path.c_str());
    }
    WaitCursor wait;
    try {
        {
            AdoConnection engine(AdoConnection::EngineObject::kCreate);
            AdoRecordset create;
            if (engine.Open(u"") != 0 ||
                !create.Open(u"CREATE DATABASE '" + path + u"'", &engine, adOpenDynamic, adLockPessimistic)) {
                return DbError::kConnectFailed;
            }
        }
        AdoConnection database(AdoConnection::EngineObject::kCreate);
        if (database.Open(path) != 0) return DbError::kConnectFailed;
        for (const char16_t* statement : schema::kCreateTables) database.Execute(statement);
        for (const char16_t* statement : schema::kCreateIndexes) database.Execute(statement);
        for (const char16_t* statement : schema::kEngineIndexes) database.Execute(statement);
        std::u16string now = schema::NowDateLiteral();
        database.Execute(schema::VersionInsert(schema::kCurrentVersion, now));
        if (default_views == DefaultViews::kCreate) {
            database.Execute(schema::DefaultViewInsert(schema::kWhatsNewViewId, now));
            database.Execute(schema::DefaultViewInsert(schema::kSearchResultsViewId, now));
        }
        database.Close();
        return {};
    } catch (const CException&) {
        return DbError::kQueryFailed;
    }
}

}  // namespace qf
