// An index's tree of pages, changed inside the pager's open transaction:
// insertion with page splits (a full root keeps its page number and moves
// its entries one level down), of one entry or of many in key order (those
// past the tree's last entry appended to its last leaf), removal (an
// emptied page leaves the tree and is released), and the lookups unique
// indexes need.
// Intermediate entries carry the last entry of their child; pages of one
// level are linked both ways; intermediate pages on the right edge name the
// tree's last leaf as its tail. A tail leaf Access left outside the tree
// is taken in when an entry goes past the tree's last entry. New pages are
// recorded in the index's usage map. Relies on index_page, page_allocator
// and usage_map_writer.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "index_page.h"
#include "index_page_cache.h"
#include "jet/database.h"
#include "pager.h"

namespace fennick::jet {

class IndexTree {
 public:
  // `what` names the index in messages: "index \"Name\" of table \"T\""; it
  // must outlive the tree (trees are made for one change or look-up).
  // `cache` holds the database's decoded index pages across trees; the
  // pages a change leaves are written from there when needed.
  IndexTree(Pager& pager, std::uint32_t rootPage, std::uint32_t usageMapPointer, std::string_view what,
            IndexPageCache& cache);

  // Adds key + the row's data pointer. Throws Error when the entry is too
  // long for an index page.
  void insert(std::span<const std::uint8_t> key, RowLocation row);
  // Many whole entries (key, then the data pointer as index pages hold it),
  // in ascending order: entries after the index's last go straight onto its
  // last leaf while it has room, the pages above it brought up to date once.
  void insertAscending(std::span<const std::span<const std::uint8_t>> entries);
  // Whether the index holds no entry at all.
  bool empty();
  // Entries in ascending order (whole, as insertAscending takes them) cut
  // into full leaves, for build(). Touches no page, so it may run on any
  // thread. Throws Error for an entry too long for the index (`what`).
  static std::vector<IndexPage> packLeaves(const Format& format, std::uint32_t owner, std::string_view what,
                                           std::span<const std::span<const std::uint8_t>> entries);
  // Makes an empty index hold the packed leaves: the levels above them
  // built bottom-up, every page written once.
  void build(std::vector<IndexPage> leaves);
  // Removes that exact entry; false when the index does not hold it.
  bool remove(std::span<const std::uint8_t> key, RowLocation row);
  // Whether some entry has exactly this key (any row).
  bool containsKey(std::span<const std::uint8_t> key);

  // A new, empty index: one empty leaf page owned by `definitionPage`,
  // recorded in the index's map. Returns its page number.
  static std::uint32_t createRoot(Pager& pager, std::uint32_t definitionPage, std::uint32_t usageMapPointer,
                                  const std::string& what);

  // Longest key an entry may carry, so that an intermediate page always
  // holds at least two entries.
  static std::size_t maxKeySize(const Format& format);

 private:
  struct Split {
    std::vector<std::uint8_t> leftMax;
    std::uint32_t rightPage = 0;
    std::vector<std::uint8_t> rightMax;
  };
  struct InsertResult {
    bool maxChanged = false;
    std::vector<std::uint8_t> max;  // the page's last leaf entry after the change
    bool split = false;
    Split splitInfo;
  };
  struct RemoveResult {
    bool found = false;
    bool empty = false;
    bool maxChanged = false;
    std::vector<std::uint8_t> max;
  };

  // The page as decoded (from the cache); changes to it reach the
  // transaction with flush().
  IndexPage& read(std::uint32_t number);
  void flush(std::uint32_t number);
  void write(std::uint32_t number, IndexPage page);
  std::uint32_t allocate();
  void insertEntry(std::span<const std::uint8_t> entry);
  InsertResult insertInto(std::uint32_t number, std::span<const std::uint8_t> entry, bool rightEdge);
  // Appends the entry to the last leaf when it goes after everything and
  // fits, and every page above has room for it as a separator.
  bool appendAtRightEdge(std::span<const std::uint8_t> entry);
  // The separators on the path to the last leaf, after appends there.
  void refreshRightEdge();
  RemoveResult removeFrom(std::uint32_t number, std::span<const std::uint8_t> entry);
  // Writes `page` as `number`, splitting it when it does not fit.
  InsertResult store(std::uint32_t number, IndexPage& page, bool appendAtEnd);
  void splitRoot(IndexPage& page);
  void setPrev(std::uint32_t number, std::uint32_t prev);
  void setNext(std::uint32_t number, std::uint32_t next);
  void fixTails();
  // Numbers and links one level of pages; returns the entries of the level
  // above (each page's last entry and its number). A level of one page
  // becomes the root.
  std::vector<std::vector<std::uint8_t>> storeLevel(std::vector<IndexPage> pages);
  std::uint32_t unreferencedTail(const IndexPage& node);
  static std::vector<std::uint8_t> maxOf(const IndexPage& page);

  Pager& pager_;
  std::uint32_t root_;
  std::uint32_t usageMap_;
  std::string_view what_;
  IndexPageCache* cache_;
  bool splitHappened_ = false;
  std::uint32_t treeTail_ = 0;  // the root's tail when the insertion began
  // Root to last leaf while appending, with the pages as cached (which stay
  // put while the tree is changed), and whether the leaf's change has
  // reached the transaction since.
  std::vector<std::uint32_t> rightEdge_;
  std::vector<IndexPage*> rightEdgePages_;
  bool rightEdgeLeafFlushed_ = false;
  bool rightEdgeStale_ = false;
  void forgetRightEdge();
};

// Every leaf entry in order: the leftmost leaf, then the leaf level's next
// links (which also reach a tail leaf outside the tree). For checks.
std::vector<std::vector<std::uint8_t>> indexEntries(Pager& pager, std::uint32_t rootPage, const std::string& what);

}  // namespace fennick::jet
