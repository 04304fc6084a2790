// The record access layer's connection: one database file opened through the engine (SQLite, standing in
// for ADOCE over CEDB). Connection strings are device paths; the empty string opens the engine without a
// database, which serves only to run "CREATE DATABASE '<path>'".
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace qf {

namespace ado_detail {
class SqliteDatabase;
}
class AdoRecordset;

// Command options of Execute and AdoRecordset::Open.
inline constexpr long adCmdText = 1;
inline constexpr long adCmdUnknown = 8;

// One entry of a connection's error collection.
struct AdoError {
    std::u16string description;
    long number = -1;
    long native_error = -1;
    std::u16string source;
};

// Owns its engine object and the open database. Not copyable. One thread at a time (the database lock
// of FeedDatabase serialises the threads that share one).
class AdoConnection {
  public:
    enum class EngineObject { kNone, kCreate };

    // kCreate: makes the engine object at once and sets its provider to "CEDB"; kNone: an empty wrapper
    // whose engine object CreateEngineObject makes later.
    explicit AdoConnection(EngineObject engine = EngineObject::kCreate);
    ~AdoConnection();
    AdoConnection(const AdoConnection&) = delete;
    AdoConnection& operator=(const AdoConnection&) = delete;

    // Makes the engine object unless it exists; false when the engine is not available.
    bool CreateEngineObject();

    // How long the engine waits for a file lock held by another connection before a statement fails;
    // applies from the next Open. Initially kDatabaseLockTimeoutMs.
    void set_busy_timeout_ms(int timeout_ms) { busy_timeout_ms_ = timeout_ms; }

    // Closes any open database first, then opens the file at the device path `connection_string` (which
    // must exist and be a database), or the engine alone for the empty string. User id and password are
    // ignored. 0 on success, kAdoOpenFailed (-13) otherwise.
    int Open(const std::u16string& connection_string, const std::u16string& user_id = {},
             const std::u16string& password = {}, long options = -1);
    // Releases the error collection and closes the database; safe when closed.
    void Close();
    bool IsOpen() const { return open_; }

    // Runs exactly one statement (text after the first statement is refused, never run). `result`, when
    // given, receives the rows of a query as a read-only recordset; `records_affected` (may be null) the
    // rows changed. False when the statement fails or no database is open.
    bool Execute(const std::u16string& sql, AdoRecordset* result = nullptr, long* records_affected = nullptr,
                 long options = adCmdUnknown);

    // A transaction on the open database: changes become visible together at CommitTrans and vanish at
    // RollbackTrans. False when no database is open or the engine refuses (e.g. one already runs).
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();

    std::u16string provider() const;
    void set_provider(const std::u16string& provider);
    std::u16string connection_string() const;
    void set_connection_string(const std::u16string& connection_string);

    // The errors of the last failed call (at most one here); an empty collection after success.
    const std::vector<AdoError>& errors() const { return errors_; }

  private:
    friend class AdoRecordset;

    // "CREATE DATABASE" at a device path: makes an empty database file; false when the file exists or
    // cannot be made.
    bool CreateDatabase(const std::u16string& device_path);
    // The open database, shared with the recordsets reading it; null without one.
    std::shared_ptr<ado_detail::SqliteDatabase> database() const { return database_; }
    void RecordError(const std::u16string& description, long number);
    void RecordDatabaseError();

    bool has_engine_ = false;
    int busy_timeout_ms_;
    bool open_ = false;
    std::u16string provider_;
    std::u16string connection_string_;
    std::shared_ptr<ado_detail::SqliteDatabase> database_;
    std::vector<AdoError> errors_;
};

// Whether any connection (of any process) still has the database file at the device path open. The file
// may be replaced only when none has.
bool IsDatabaseFileInUse(const std::u16string& device_path);

// Whether the engine can be used at all: makes an empty connection, tries its engine object, and answers.
bool IsAdoEngineAvailable();

}  // namespace qf
