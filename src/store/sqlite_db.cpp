#include "store/sqlite_db.h"

#include <sqlite3.h>

namespace folivra {

SqliteDb::~SqliteDb() { close(); }

int SqliteDb::open(const std::filesystem::path& path, int busy_timeout_ms) {
  close();
  const std::u8string name = path.u8string();
  const int status =
      sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (db_) {
    sqlite3_busy_timeout(db_, busy_timeout_ms);
    sqlite3_extended_result_codes(db_, 0);
  }
  return status;
}

void SqliteDb::close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

int SqliteDb::exec(const char* sql) {
  return db_ ? sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

int64_t SqliteDb::last_insert_id() const { return sqlite3_last_insert_rowid(db_); }

std::string SqliteDb::error() const { return db_ ? sqlite3_errmsg(db_) : "not open"; }

SqliteStatement::SqliteStatement(const SqliteDb& db, const char* sql) {
  // A statement that does not prepare stays null: each step then fails.
  if (db.handle()) sqlite3_prepare_v2(db.handle(), sql, -1, &stmt_, nullptr);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::bind(int index, int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view blob) {
  // Text and bytes alike are kept as blobs: no conversion, NULs allowed.
  sqlite3_bind_blob64(stmt_, index, blob.empty() ? "" : blob.data(), blob.size(), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::bind_null(int index) {
  sqlite3_bind_null(stmt_, index);
  return *this;
}

int SqliteStatement::step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }

void SqliteStatement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqliteStatement::blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size))
              : std::string();
}

bool SqliteStatement::is_null(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) {
  status_ = db_.exec("BEGIN IMMEDIATE");
  began_ = status_ == SQLITE_OK;
}

SqliteTransaction::~SqliteTransaction() {
  if (began_ && !done_) db_.exec("ROLLBACK");
}

bool SqliteTransaction::commit() {
  if (!began_ || done_) return false;
  done_ = db_.exec("COMMIT") == SQLITE_OK;
  return done_;
}

}  // namespace folivra
