// The page cache: fixed-size pages of the database file by number, held in a
// bounded LRU cache. Relies on platform::File and format.h.
//
// Pages are handed out as shared, immutable buffers, so a caller may keep
// one while the cache evicts it. The write side (pager_write.cpp) keeps the
// pages a transaction changes as private copies, visible to this handle's
// reads, and commits them through the journal (journal.h); the read path
// never modifies a cached page.
// Not thread-safe: one database handle per thread.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "format.h"
#include "jet/database.h"
#include "journal.h"
#include "platform/file.h"

namespace fennick::jet {

class Page {
 public:
  Page(std::uint32_t number, std::vector<std::uint8_t> bytes)
      : number_(number), bytes_(std::move(bytes)) {}
  std::uint32_t number() const { return number_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }
  std::uint8_t type() const { return bytes_[0]; }

 private:
  friend class Pager;  // the write side changes its private copies in place
  std::uint32_t number_;
  std::vector<std::uint8_t> bytes_;
};

using PageRef = std::shared_ptr<const Page>;

// A layer above the pager that keeps the pages it changes in its own form
// and writes their bytes only when they are needed: when the page is read
// or handed out for writing, and at commit.
class PageEncoder {
 public:
  virtual void encodePage(const Format& format, std::uint32_t number, std::span<std::uint8_t> out) = 0;

 protected:
  ~PageEncoder() = default;
};

class Pager {
 public:
  static constexpr std::size_t kDefaultCachePages = 256;

  Pager(platform::File file, const Format& format, std::size_t cachePages = kDefaultCachePages);
  // A pager over a file opened for writing: it may hold transactions.
  static Pager writable(platform::File file, const Format& format, std::size_t cachePages = kDefaultCachePages);

  // Opening over a journal left behind by a cut-short commit: a writable
  // pager plays it back into the file; a read-only one shows the pages as
  // they were before that commit without touching the file.
  void recover(const JournalImage& journal);

  // Throws the damaged-file error when the page is past the end of the file.
  PageRef page(std::uint32_t number);
  // As page(), and also checks the page's type byte; `role` names what the
  // caller expected ("table definition", "data page") for the message.
  PageRef page(std::uint32_t number, std::uint8_t expectedType, const char* role);

  std::uint32_t pageCount() const { return pageCount_; }
  const Format& format() const { return *format_; }
  const std::string& path() const { return file_.path(); }

  // Write side (pager_write.cpp). One transaction at a time; the file must
  // have been opened for writing.
  bool writable() const { return writable_; }
  bool inTransaction() const { return inTransaction_; }
  void beginTransaction();
  // The page as this transaction may change it (a private copy).
  std::span<std::uint8_t> writablePage(std::uint32_t number);
  // Marks the page changed by the transaction, its bytes to come from
  // `encoder` when they are next needed.
  void deferPage(std::uint32_t number, PageEncoder& encoder);
  // Forgets the bytes still to come for the page (it leaves the file's use).
  void cancelDeferred(std::uint32_t number) { deferred_.erase(number); }
  // Writes the bytes of every deferred page now.
  void encodeDeferred();
  // A new zero-filled page at the end of the file; throws Error when the
  // file would outgrow Jet's 2 GB limit.
  std::uint32_t appendPage();
  // Journal, write and sync the changed pages; on failure the transaction
  // stays open and the file keeps its committed state.
  void commit();
  // Forgets every change of the transaction.
  void rollback();
  const CommitStatistics& commitStatistics() const { return statistics_; }

 private:
  struct Slot {
    PageRef page;
    std::list<std::uint32_t>::iterator lru;
  };
  platform::File file_;
  const Format* format_;
  std::uint32_t pageCount_;
  std::size_t capacity_;
  std::unordered_map<std::uint32_t, Slot> slots_;
  std::list<std::uint32_t> lru_;  // most recently used first

  // Pages a read-only view over a pending journal shows instead of the file's.
  std::map<std::uint32_t, PageRef> recovered_;

  CommitStatistics statistics_;
  bool writable_ = false;
  bool inTransaction_ = false;
  std::uint32_t committedPageCount_ = 0;
  struct Changed {
    std::shared_ptr<Page> page;
    PageRef original;  // the committed image; none for pages the transaction appended
  };
  std::map<std::uint32_t, Changed> dirty_;  // changed or appended pages
  std::unordered_map<std::uint32_t, PageEncoder*> deferred_;  // dirty pages whose bytes are still to come

  void encodeIfDeferred(std::uint32_t number);
  Changed& changedPage(std::uint32_t number);
};

// Row pointers (page number << 8 | row number), as table definitions and
// long values store them.
struct RowPointer {
  std::uint32_t page;
  std::uint8_t row;
  static RowPointer decode(std::uint32_t raw) { return {raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)}; }
};

}  // namespace fennick::jet
