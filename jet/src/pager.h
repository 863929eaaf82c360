// The page cache: fixed-size pages of the database file by number, held in a
// bounded LRU cache. Relies on platform::File and format.h.
//
// Pages are handed out as shared, immutable buffers, so a caller may keep
// one while the cache evicts it. Writing will add dirty pages to the same
// cache (a writable copy per page, flushed in page order at commit by the
// journal layer); the read path never modifies a cached page.
// Not thread-safe: one database handle per thread.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "format.h"
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
  std::uint32_t number_;
  std::vector<std::uint8_t> bytes_;
};

using PageRef = std::shared_ptr<const Page>;

class Pager {
 public:
  static constexpr std::size_t kDefaultCachePages = 256;

  Pager(platform::File file, const Format& format, std::size_t cachePages = kDefaultCachePages);

  // Throws the damaged-file error when the page is past the end of the file.
  PageRef page(std::uint32_t number);
  // As page(), and also checks the page's type byte; `role` names what the
  // caller expected ("table definition", "data page") for the message.
  PageRef page(std::uint32_t number, std::uint8_t expectedType, const char* role);

  std::uint32_t pageCount() const { return pageCount_; }
  const Format& format() const { return *format_; }
  const std::string& path() const { return file_.path(); }

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
};

// Row pointers (page number << 8 | row number), as table definitions and
// long values store them.
struct RowPointer {
  std::uint32_t page;
  std::uint8_t row;
  static RowPointer decode(std::uint32_t raw) { return {raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)}; }
};

}  // namespace fennick::jet
