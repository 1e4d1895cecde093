#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace folivra {

// One connection to an SQLite database, closed with the object.
class SqliteDb {
 public:
  SqliteDb() = default;
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;
  ~SqliteDb();

  // Opens (creating) the database file; the SQLite result code.
  int open(const std::filesystem::path& path, int busy_timeout_ms);
  void close();
  // Runs statements that return no rows; the SQLite result code.
  int exec(const char* sql);
  sqlite3* handle() const { return db_; }
  int64_t last_insert_id() const;
  std::string error() const;

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement; bind counts from 1, columns from 0.
class SqliteStatement {
 public:
  SqliteStatement(const SqliteDb& db, const char* sql);
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  SqliteStatement& bind(int index, int64_t value);
  SqliteStatement& bind(int index, std::string_view blob);
  SqliteStatement& bind_null(int index);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step();
  // Runs a statement that returns no rows; true when it ran to its end.
  bool run() { return step() == 101; }  // SQLITE_DONE
  void reset();

  int64_t integer(int column) const;
  std::string blob(int column) const;
  bool is_null(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// A transaction that rolls back unless committed.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDb& db);  // BEGIN IMMEDIATE: takes the write lock now
  ~SqliteTransaction();
  bool began() const { return began_; }
  int begin_status() const { return status_; }
  bool commit();

 private:
  SqliteDb& db_;
  bool began_ = false, done_ = false;
  int status_ = 0;
};

}  // namespace folivra
