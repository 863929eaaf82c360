// SqliteDataset: steps a prepared statement and hands out its rows, each
// value read with the Oracle kind of its column's declared type. A thread
// of the dataset's own steps ahead in batches, so that reading the source
// overlaps with what the caller does with each row (a conversion writes
// it); every use of the connection holds its lock. Relies on
// declared_type.h and sqlite_values.h.
#include "sqlite_dataset.h"

#include <condition_variable>
#include <deque>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "declared_type.h"
#include "sqlite_values.h"

namespace fennick {

namespace {

class SqliteDataset final : public SourceDataset {
 public:
  SqliteDataset(SqliteDatabase db, SqliteStatement statement, std::string sourceName)
      : db_(std::move(db)), statement_(std::move(statement)), sourceName_(std::move(sourceName)) {
    {
      const std::lock_guard<std::mutex> guard(db_->lock);
      const int count = sqlite3_column_count(statement_.get());
      for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(statement_.get(), i);
        const char* declared = sqlite3_column_decltype(statement_.get(), i);
        Field field{name ? name : "", std::nullopt};
        if (declared) field.kind = readDeclaredType(declared).values;
        fields_.push_back(std::move(field));
      }
    }
    nulls_.assign(fields_.size(), Value::null());
    reader_ = std::thread([this] { readAhead(); });
    try {
      next();  // the first row, as the dataset opens on it
    } catch (...) {
      stopReading();
      throw;
    }
  }

  ~SqliteDataset() override { stopReading(); }

  bool eof() const override { return eof_; }

  void next() override {
    if (eof_) return;
    if (++row_ < batch_.count) return;
    if (batch_.last) return finish();
    {
      std::unique_lock<std::mutex> queue(queueLock_);
      filled_.wait(queue, [&] { return !queue_.empty(); });
      spare_.push_back(std::move(batch_));  // its rows' storage serves again
      batch_ = std::move(queue_.front());
      queue_.pop_front();
    }
    room_.notify_one();
    row_ = 0;
    if (batch_.count == 0) finish();
  }

  std::size_t fieldCount() const override { return fields_.size(); }
  const std::string& fieldName(std::size_t index) const override { return field(index).name; }
  bool isBlob(std::size_t index) const override {
    return field(index).kind == ValueKind::Binary;
  }
  const Value& value(std::size_t index) const override {
    field(index);
    return eof_ ? nulls_[index] : batch_.rows[row_][index];
  }

 private:
  static constexpr std::size_t kBatchRows = 256;
  static constexpr std::size_t kBatchesAhead = 4;

  struct Field {
    std::string name;
    std::optional<ValueKind> kind;  // empty: an expression without a declared type
  };
  struct Batch {
    std::vector<std::vector<Value>> rows;  // the first `count` hold rows
    std::size_t count = 0;
    bool last = false;     // no rows follow
    std::string error;     // why they stopped, when it was not the end
  };

  const Field& field(std::size_t index) const {
    if (index >= fields_.size())
      throw std::out_of_range("Field number " + std::to_string(index) + " is beyond the " +
                              std::to_string(fields_.size()) + " fields of the query");
    return fields_[index];
  }

  // The rows are used up: end-of-data, or the error that ended them.
  void finish() {
    eof_ = true;
    if (!batch_.error.empty()) throw std::runtime_error(batch_.error);
  }

  void readAhead() {
    for (bool last = false; !last;) {
      Batch batch;
      {
        const std::lock_guard<std::mutex> queue(queueLock_);
        if (!spare_.empty()) {
          batch = std::move(spare_.back());
          spare_.pop_back();
        }
      }
      batch.count = 0;
      batch.last = false;
      batch.error.clear();
      {
        const std::lock_guard<std::mutex> guard(db_->lock);
        while (batch.count < kBatchRows && !batch.last) {
          const int status = sqlite3_step(statement_.get());
          if (status == SQLITE_DONE) {
            batch.last = true;
          } else if (status != SQLITE_ROW) {
            batch.last = true;
            batch.error = sourceName_ + ": " + sqliteMessage(db_->db.get());
          } else {
            if (batch.count == batch.rows.size()) batch.rows.emplace_back(fields_.size());
            std::vector<Value>& values = batch.rows[batch.count];
            try {
              for (std::size_t i = 0; i < fields_.size(); ++i)
                values[i] = readCell(statement_.get(), static_cast<int>(i), fields_[i].kind, fields_[i].name);
              ++batch.count;
            } catch (const std::exception& e) {
              batch.last = true;
              batch.error = e.what();
            }
          }
        }
      }
      last = batch.last;
      {
        std::unique_lock<std::mutex> queue(queueLock_);
        room_.wait(queue, [&] { return stopping_ || queue_.size() < kBatchesAhead; });
        if (stopping_) return;
        queue_.push_back(std::move(batch));
      }
      filled_.notify_one();
    }
  }

  void stopReading() {
    {
      const std::lock_guard<std::mutex> queue(queueLock_);
      stopping_ = true;
    }
    room_.notify_all();
    if (reader_.joinable()) reader_.join();
    const std::lock_guard<std::mutex> guard(db_->lock);
    statement_.reset();
  }

  SqliteDatabase db_;  // declared first: the statement is finalized before the connection goes
  SqliteStatement statement_;
  std::string sourceName_;
  std::vector<Field> fields_;
  std::vector<Value> nulls_;  // what an exhausted dataset shows

  Batch batch_;  // the current row is batch_.rows[row_]
  std::size_t row_ = 0;
  bool eof_ = false;

  std::mutex queueLock_;
  std::condition_variable filled_, room_;
  std::deque<Batch> queue_;
  std::vector<Batch> spare_;  // batches read out, for the reader to fill again
  bool stopping_ = false;
  std::thread reader_;  // last: it starts once everything it uses is there
};

bool onlySpacing(const char* tail) {
  // SQLite leaves whatever follows the first statement in `tail`; anything
  // other than spacing and a final ';' would be silently dropped.
  for (; *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
      return false;
  return true;
}

}  // namespace

std::unique_ptr<SourceDataset> runSqliteQuery(SqliteDatabase db, const std::string& sql,
                                              const std::string& sourceName) {
  SqliteStatement statement;
  {
    const std::lock_guard<std::mutex> guard(db->lock);
    sqlite3* raw = db->db.get();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const int status = sqlite3_prepare_v2(raw, sql.c_str(), static_cast<int>(sql.size()), &prepared, &tail);
    statement.reset(prepared);
    if (status != SQLITE_OK)
      throw std::runtime_error(sourceName + ": " + sqliteMessage(raw) + " in query \"" + sql + "\"");
    if (!statement) throw std::runtime_error(sourceName + ": the query \"" + sql + "\" is empty");
    if (tail && !onlySpacing(tail))
      throw std::runtime_error(sourceName + ": the query \"" + sql + "\" holds more than one statement");
    if (!sqlite3_stmt_readonly(statement.get()))
      throw std::runtime_error(sourceName + ": the source is read-only; \"" + sql + "\" would change it");
  }
  return std::make_unique<SqliteDataset>(std::move(db), std::move(statement), sourceName);
}

}  // namespace fennick
