#include "shared/ado_recordset.h"

#include "shared/cursor.h"
#include "shared/sqlite_database.h"

namespace qf {

using ado_detail::Cursor;

// ---- AdoRecordset ------------------------------------------------------------------------------------

AdoRecordset::AdoRecordset() {
    if (!IsAdoEngineAvailable()) QF_ADO_THROW(kAdoNoRecordset);
}

AdoRecordset::~AdoRecordset() = default;

bool AdoRecordset::Open(const std::u16string& sql, AdoConnection* connection, AdoCursorType,
                        AdoLockType lock_type, long) {
    Close();
    if (connection) connection_ = connection;
    if (!connection_ || !connection_->IsOpen()) return false;
    connection_->errors_.clear();

    sql::Statement kind = sql::Classify(sql);
    if (auto* create = std::get_if<sql::CreateDatabase>(&kind))
        return connection_->CreateDatabase(create->path);
    std::shared_ptr<ado_detail::SqliteDatabase> database = connection_->database();
    if (!database) {
        connection_->RecordError(u"no database is open", SQLITE_MISUSE);
        return false;
    }
    auto fail = [&] {
        connection_->RecordDatabaseError();
        return false;
    };
    if (std::holds_alternative<sql::MoveColumn>(kind)) return database->Run(sql, nullptr) || fail();

    if (lock_type == adLockReadOnly) {
        ado_detail::StatementHandle statement = database->Prepare(sql);
        if (!statement) return fail();
        cursor_ = ado_detail::OpenStreamCursor(database, std::move(statement), sql);
        return cursor_ != nullptr || fail();
    }
    auto keyed = sql::WithRowId(sql);
    // A statement that is no Select has no rows to change: it simply runs.
    if (!keyed) return database->Run(sql, nullptr) || fail();
    ado_detail::StatementHandle statement = database->Prepare(*keyed);
    if (!statement) return fail();
    cursor_ = ado_detail::OpenKeysetCursor(database, std::move(statement));
    return cursor_ != nullptr || fail();
}

void AdoRecordset::Close() { cursor_.reset(); }

bool AdoRecordset::IsEOF() const { return cursor_ && cursor_->IsEOF(); }
bool AdoRecordset::IsBOF() const { return cursor_ && cursor_->IsBOF(); }
bool AdoRecordset::MoveFirst() { return cursor_ && cursor_->MoveFirst(); }
bool AdoRecordset::MoveNext() { return cursor_ && cursor_->MoveNext(); }
bool AdoRecordset::MoveLast() { return cursor_ && cursor_->MoveLast(); }
bool AdoRecordset::MovePrevious() { return cursor_ && cursor_->MovePrevious(); }

bool AdoRecordset::Move(long rows) {
    bool moved = true;
    for (; rows > 0 && moved; --rows) moved = MoveNext();
    for (; rows < 0 && moved; ++rows) moved = MovePrevious();
    return moved;
}

long AdoRecordset::RecordCount() { return cursor_ ? cursor_->RecordCount() : -1; }
long AdoRecordset::FieldCount() const { return cursor_ ? cursor_->FieldCount() : -1; }

AdoField& AdoRecordset::Field(long index) {
    field_.index_ = index;
    field_.value_ = Variant();
    return field_;
}

bool AdoRecordset::AddNew() { return cursor_ && cursor_->AddNew(); }

void AdoRecordset::Update() {
    if (!cursor_ || !cursor_->Update()) QF_ADO_THROW(kAdoUpdateRefused);
}

std::u16string AdoRecordset::ErrorDescription() const { return u"Can`t get description"; }

// ---- AdoField ----------------------------------------------------------------------------------------

Variant AdoField::Read() {
    std::optional<Variant> value;
    if (recordset_.cursor_) value = recordset_.cursor_->Value(index_);
    if (!value) QF_ADO_THROW(kAdoReadRefused);
    value_ = std::move(*value);
    return value_;
}

std::u16string AdoField::Name() const {
    if (!recordset_.cursor_) return std::u16string();
    return recordset_.cursor_->FieldName(index_).value_or(std::u16string());
}

Variant AdoField::Value() { return Read(); }

std::u16string AdoField::AsString() {
    Variant value = Read();
    if (value.IsEmptyOrNull()) return std::u16string();
    auto text = ChangeType(value, VT_BSTR);
    return text ? text->text() : std::u16string();
}

std::int32_t AdoField::AsInt() {
    Variant value = Read();
    if (value.IsEmptyOrNull()) return 0;
    auto number = ChangeType(value, VT_I4);
    if (!number) QF_ADO_THROW(kAdoConvertFailed);
    return number->integer();
}

std::int16_t AdoField::AsShort() {
    Variant value = Read();
    if (value.IsEmptyOrNull()) return 0;
    auto number = ChangeType(value, VT_I2);
    if (!number) QF_ADO_THROW(kAdoConvertFailed);
    return static_cast<std::int16_t>(number->integer());
}

bool AdoField::AsBool() {
    Variant value = Read();
    if (value.IsEmptyOrNull()) return false;
    auto number = ChangeType(value, VT_I2);
    if (!number) QF_ADO_THROW(kAdoConvertFailed);
    return number->integer() != 0;
}

SYSTEMTIME AdoField::AsDate() {
    Variant value = Read();
    SYSTEMTIME time{};
    if (value.IsEmptyOrNull()) return time;
    if (value.type() != VT_DATE || !VariantTimeToSystemTime(value.real(), &time)) {
        QF_ADO_THROW(kAdoConvertFailed);
    }
    return time;
}

void AdoField::SetValue(const Variant& value) {
    if (!recordset_.cursor_ || !recordset_.cursor_->SetValue(index_, value)) QF_ADO_THROW(kAdoSetRefused);
}

void AdoField::SetString(const std::u16string& value) { SetValue(Variant::String(value)); }
void AdoField::SetInt(std::int32_t value) { SetValue(Variant::I4(value)); }
void AdoField::SetShort(std::int16_t value) { SetValue(Variant::I2(value)); }
void AdoField::SetBool(bool value) { SetValue(Variant::I2(value ? 1 : 0)); }

void AdoField::SetDate(const SYSTEMTIME& value) {
    DATE date = 0;
    if (!SystemTimeToVariantTime(&value, &date)) QF_ADO_THROW(kAdoSetRefused);
    SetValue(Variant::Date(date));
}

}  // namespace qf
