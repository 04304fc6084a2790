#include "shared/ado_connection.h"

#include <sqlite3.h>

#include "common/settings.h"
#include "qfdevice/device.h"
#include "shared/ado_exception.h"
#include "shared/ado_recordset.h"
#include "shared/sqlite_database.h"

namespace qf {

using ado_detail::SqliteDatabase;

namespace {
constexpr char16_t kProvider[] = u"CEDB";
}

AdoConnection::AdoConnection(EngineObject engine) : busy_timeout_ms_(kDatabaseLockTimeoutMs) {
    if (engine == EngineObject::kCreate && CreateEngineObject()) provider_ = kProvider;
}

AdoConnection::~AdoConnection() { Close(); }

bool AdoConnection::CreateEngineObject() {
    if (!has_engine_) has_engine_ = sqlite3_initialize() == SQLITE_OK;
    return has_engine_;
}

int AdoConnection::Open(const std::u16string& connection_string, const std::u16string&, const std::u16string&,
                        long) {
    Close();
    if (!has_engine_) return kAdoOpenFailed;
    connection_string_ = connection_string;
    if (connection_string.empty()) {
        open_ = true;
        return 0;
    }
    auto host_path = qf::device::MapPath(connection_string);
    if (!host_path) {
        RecordError(u"not a device path: " + connection_string, SQLITE_CANTOPEN);
        return kAdoOpenFailed;
    }
    std::u16string error;
    std::unique_ptr<SqliteDatabase> database =
        SqliteDatabase::Open(*host_path, SqliteDatabase::OpenMode::kExisting, busy_timeout_ms_, error);
    if (!database) {
        RecordError(error, SQLITE_CANTOPEN);
        return kAdoOpenFailed;
    }
    database_ = std::move(database);
    open_ = true;
    return 0;
}

void AdoConnection::Close() {
    errors_.clear();
    database_.reset();
    open_ = false;
}

bool AdoConnection::Execute(const std::u16string& sql, AdoRecordset* result, long* records_affected, long) {
    if (result) return result->Open(sql, this, adOpenForwardOnly, adLockReadOnly, adCmdText);
    errors_.clear();
    sql::Statement kind = sql::Classify(sql);
    if (auto* create = std::get_if<sql::CreateDatabase>(&kind)) {
        return CreateDatabase(create->path);
    }
    if (!database_) {
        RecordError(u"no database is open", SQLITE_MISUSE);
        return false;
    }
    if (!database_->Run(sql, records_affected)) {
        RecordDatabaseError();
        return false;
    }
    return true;
}

bool AdoConnection::BeginTrans() { return Execute(u"BEGIN"); }
bool AdoConnection::CommitTrans() { return Execute(u"COMMIT"); }
bool AdoConnection::RollbackTrans() { return Execute(u"ROLLBACK"); }

bool AdoConnection::CreateDatabase(const std::u16string& device_path) {
    if (!open_) {
        RecordError(u"connection is not open", SQLITE_MISUSE);
        return false;
    }
    auto host_path = qf::device::MapPath(device_path);
    if (!host_path) {
        RecordError(u"not a device path: " + device_path, SQLITE_CANTOPEN);
        return false;
    }
    std::u16string error;
    auto database =
        SqliteDatabase::Open(*host_path, SqliteDatabase::OpenMode::kCreateNew, busy_timeout_ms_, error);
    if (!database) {
        RecordError(error, SQLITE_CANTOPEN);
        return false;
    }
    return true;
}

std::u16string AdoConnection::provider() const { return has_engine_ ? provider_ : std::u16string(); }
void AdoConnection::set_provider(const std::u16string& provider) {
    if (has_engine_) provider_ = provider;
}
std::u16string AdoConnection::connection_string() const {
    return has_engine_ ? connection_string_ : std::u16string();
}
void AdoConnection::set_connection_string(const std::u16string& connection_string) {
    if (has_engine_ && !open_) connection_string_ = connection_string;
}

void AdoConnection::RecordError(const std::u16string& description, long number) {
    errors_.assign(1, AdoError{description, number, number, u"SQLite"});
}

void AdoConnection::RecordDatabaseError() { RecordError(database_->last_error(), database_->last_code()); }

bool IsDatabaseFileInUse(const std::u16string& device_path) {
    auto host_path = qf::device::MapPath(device_path);
    return host_path && ado_detail::IsInUse(*host_path);
}

bool IsAdoEngineAvailable() {
    AdoConnection probe(AdoConnection::EngineObject::kNone);
    return probe.CreateEngineObject();
}

}  // namespace qf
