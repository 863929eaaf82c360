// Index tree changes. Pages are decoded whole, changed in memory and
// written back; a page that no longer fits is split where its entries'
// bytes balance, except that an entry added after the last of the index
// starts a new page (loads in key order then fill their pages, as Jet's
// own do).
#include "index_btree.h"

#include <algorithm>
#include <stdexcept>

#include "bytes.h"
#include "jet/error.h"
#include "page_allocator.h"
#include "usage_map_writer.h"

namespace fennick::jet {
namespace {

bool less(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

// First entry (or separator) not less than `target`.
std::size_t lowerBound(const IndexPage& page, std::span<const std::uint8_t> target) {
  std::size_t lo = 0, hi = page.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (less(page.leaf ? page.entry(mid) : page.separator(mid), target)) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// A whole entry (key and pointer) whose key an index page can hold.
void checkEntrySize(std::span<const std::uint8_t> entry, std::size_t limit, std::string_view what) {
  if (entry.size() < kIndexPointerSize + 1 || entry.size() - kIndexPointerSize > limit)
    throw Error("A key of " + std::to_string(entry.size() - kIndexPointerSize) + " bytes is too long for the " +
                std::string(what) + " (at most " + std::to_string(limit) + ").");
}

std::vector<std::uint8_t> withChild(std::span<const std::uint8_t> separator, std::uint32_t child) {
  std::vector<std::uint8_t> e(separator.begin(), separator.end());
  for (int shift = 24; shift >= 0; shift -= 8) e.push_back(static_cast<std::uint8_t>(child >> shift));
  return e;
}

}  // namespace

IndexTree::IndexTree(Pager& pager, std::uint32_t rootPage, std::uint32_t usageMapPointer, std::string_view what,
                     IndexPageCache& cache)
    : pager_(pager), root_(rootPage), usageMap_(usageMapPointer), what_(what), cache_(&cache) {
  cache_->trim(pager_);
}

std::size_t IndexTree::maxKeySize(const Format& format) {
  return indexPageCapacity(format) / 2 - 2 * kIndexPointerSize;
}

std::uint32_t IndexTree::createRoot(Pager& pager, std::uint32_t definitionPage, std::uint32_t usageMapPointer,
                                    const std::string& what) {
  PageAllocator allocator(pager);
  const std::uint32_t number = allocator.allocate();
  markPageInMap(pager, usageMapPointer, number, what);
  IndexPage empty;
  empty.owner = definitionPage;
  encodeIndexPage(pager.format(), empty, pager.writablePage(number));
  return number;
}

IndexPage& IndexTree::read(std::uint32_t number) {
  if (IndexPage* cached = cache_->find(number)) return *cached;
  const PageRef page = pager_.page(number);
  return cache_->put(number, decodeIndexPage(pager_.format(), page->bytes(), pager_.path(), std::string(what_), number));
}

void IndexTree::flush(std::uint32_t number) { cache_->changed(pager_, number); }

void IndexTree::write(std::uint32_t number, IndexPage page) {
  cache_->put(number, std::move(page));
  flush(number);
}

std::uint32_t IndexTree::allocate() {
  PageAllocator allocator(pager_);
  const std::uint32_t number = allocator.allocate();
  markPageInMap(pager_, usageMap_, number, std::string(what_));
  return number;
}

void IndexTree::setPrev(std::uint32_t number, std::uint32_t prev) {
  if (!number) return;
  read(number).prev = prev;
  flush(number);
}
void IndexTree::setNext(std::uint32_t number, std::uint32_t next) {
  if (!number) return;
  read(number).next = next;
  flush(number);
}

std::vector<std::uint8_t> IndexTree::maxOf(const IndexPage& page) {
  if (page.size() == 0) return {};
  const auto last = page.leaf ? page.entry(page.size() - 1) : page.separator(page.size() - 1);
  return {last.begin(), last.end()};
}

std::uint32_t IndexTree::unreferencedTail(const IndexPage& node) {
  if (treeTail_ == 0 || node.leaf || node.next != 0 || node.size() == 0) return 0;
  const std::uint32_t last = node.child(node.size() - 1);
  if (last == treeTail_) return 0;
  const IndexPage& child = read(last);
  return child.leaf && child.next == treeTail_ ? treeTail_ : 0;
}

void IndexTree::insert(std::span<const std::uint8_t> key, RowLocation row) {
  if (key.size() > maxKeySize(pager_.format()))
    throw Error("A key of " + std::to_string(key.size()) + " bytes is too long for the " + std::string(what_) + " (at most " +
                std::to_string(maxKeySize(pager_.format())) + ").");
  std::vector<std::uint8_t> entry(key.begin(), key.end());
  appendDataPointer(entry, row.page, static_cast<std::uint8_t>(row.row));
  insertEntry(entry);
}

void IndexTree::insertEntry(std::span<const std::uint8_t> entry) {
  const IndexPage& root = read(root_);
  treeTail_ = root.leaf ? 0 : root.tail;
  splitHappened_ = false;
  insertInto(root_, entry, true);
  if (splitHappened_) fixTails();
}

void IndexTree::forgetRightEdge() {
  rightEdge_.clear();
  rightEdgePages_.clear();
  rightEdgeLeafFlushed_ = false;
}

void IndexTree::insertAscending(std::span<const std::span<const std::uint8_t>> entries) {
  const std::size_t limit = maxKeySize(pager_.format());
  forgetRightEdge();
  rightEdgeStale_ = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // Entries in key order lie all over the caller's memory: fetch ahead.
    if (i + 48 < entries.size()) {
      __builtin_prefetch(entries[i + 48].data());
      __builtin_prefetch(entries[i + 48].data() + entries[i + 48].size() - 1);
    }
    const auto entry = entries[i];
    checkEntrySize(entry, limit, what_);
    if (appendAtRightEdge(entry)) continue;
    refreshRightEdge();
    forgetRightEdge();
    insertEntry(entry);  // splits may move the edge
  }
  refreshRightEdge();
  forgetRightEdge();
}

bool IndexTree::appendAtRightEdge(std::span<const std::uint8_t> entry) {
  const std::size_t capacity = indexPageCapacity(pager_.format());
  if (rightEdge_.empty()) {
    std::uint32_t number = root_;
    for (int depth = 0;; ++depth) {
      IndexPage& page = read(number);
      rightEdge_.push_back(number);
      rightEdgePages_.push_back(&page);
      if (page.leaf) break;
      if (depth > 64 || page.size() == 0) {
        forgetRightEdge();
        return false;
      }
      number = page.child(page.size() - 1);
    }
  }
  // A leaf with a successor is not the last (Access may keep a tail leaf
  // outside the tree); the usual path deals with that.
  IndexPage& leaf = *rightEdgePages_.back();
  if (leaf.next != 0 || (leaf.size() > 0 && !less(leaf.entry(leaf.size() - 1), entry))) return false;
  for (std::size_t level = 0; level + 1 < rightEdgePages_.size(); ++level) {
    const IndexPage& node = *rightEdgePages_[level];
    if (encodedIndexSize(node, 0, node.size()) + entry.size() + kIndexPointerSize > capacity) return false;
  }
  if (!leaf.compressed && encodedIndexSize(leaf, 0, leaf.size()) + entry.size() > capacity) return false;
  leaf.insert(leaf.size(), entry);
  if (leaf.compressed && encodedIndexSize(leaf, 0, leaf.size()) > capacity) {
    leaf.erase(leaf.size() - 1);
    return false;
  }
  if (!rightEdgeLeafFlushed_) flush(rightEdge_.back());
  rightEdgeLeafFlushed_ = true;
  rightEdgeStale_ = rightEdge_.size() > 1;
  return true;
}

void IndexTree::refreshRightEdge() {
  if (!rightEdgeStale_) return;
  rightEdgeStale_ = false;
  for (std::size_t level = rightEdge_.size() - 1; level-- > 0;) {
    const std::uint32_t child = rightEdge_[level + 1];
    const std::vector<std::uint8_t> max = maxOf(read(child));
    IndexPage& node = read(rightEdge_[level]);
    if (std::ranges::equal(node.separator(node.size() - 1), max)) break;  // the levels above agree already
    node.replace(node.size() - 1, withChild(max, child));
    flush(rightEdge_[level]);
  }
}

IndexTree::InsertResult IndexTree::insertInto(std::uint32_t number, std::span<const std::uint8_t> entry, bool rightEdge) {
  IndexPage& page = read(number);
  if (page.leaf) {
    const std::size_t at = lowerBound(page, entry);
    if (at < page.size() && std::ranges::equal(page.entry(at), entry)) return {};
    page.insert(at, entry);
    InsertResult r = store(number, page, at + 1 == page.size() && page.next == 0 && rightEdge);
    if (!r.split && at + 1 == page.size()) r = {true, maxOf(page), false, {}};
    return r;
  }
  if (page.size() == 0) throwDamaged(pager_.path(), "page " + std::to_string(number) + " of the " + std::string(what_) + " is empty");
  const std::vector<std::uint8_t> oldMax = maxOf(page);
  std::size_t i = lowerBound(page, entry);
  bool adopted = false;
  if (i == page.size()) {
    if (const std::uint32_t tail = rightEdge ? unreferencedTail(page) : 0) {
      page.insert(page.size(), withChild(entry, tail));  // its separator is set below
      adopted = true;
    }
    i = page.size() - 1;
  }
  const std::uint32_t child = page.child(i);
  InsertResult below = insertInto(child, entry, rightEdge && i + 1 == page.size());
  if (!below.split && !below.maxChanged) {
    if (adopted) page.erase(i);  // the tail leaf stays outside the tree
    return {};
  }
  if (below.split) {
    page.replace(i, withChild(below.splitInfo.leftMax, child));
    page.insert(i + 1, withChild(below.splitInfo.rightMax, below.splitInfo.rightPage));
  } else {
    page.replace(i, withChild(below.max, child));
  }
  const bool atEnd = below.split && i + 2 == page.size() && page.next == 0 && rightEdge;
  InsertResult r = store(number, page, atEnd);
  if (!r.split) {
    const IndexPage& page = read(number);
    std::vector<std::uint8_t> max = maxOf(page);
    if (max != oldMax) r = {true, std::move(max), false, {}};
  }
  return r;
}

namespace {

// Where to cut `page` so both halves fit: by balanced bytes, or just before
// the last entry when it was added after all others.
std::size_t cutPoint(const IndexPage& page, std::size_t capacity, bool appendAtEnd) {
  const std::size_t n = page.size();
  const auto fits = [&](std::size_t k) {
    return encodedIndexSize(page, 0, k) <= capacity && encodedIndexSize(page, k, n) <= capacity;
  };
  if (appendAtEnd && n >= 2 && fits(n - 1)) return n - 1;
  std::size_t k = 1;
  while (k + 1 < n && page.ends[k - 1] * 2 < page.bytes.size()) ++k;
  if (fits(k)) return k;
  for (std::size_t j = 1; j < n; ++j)
    if (fits(j)) return j;
  return 0;
}

}  // namespace

IndexTree::InsertResult IndexTree::store(std::uint32_t number, IndexPage& page, bool appendAtEnd) {
  const Format& f = pager_.format();
  const std::size_t capacity = indexPageCapacity(f);
  if (encodedIndexSize(page, 0, page.size()) <= capacity) {
    flush(number);
    return {};
  }
  splitHappened_ = true;
  if (number == root_) {
    splitRoot(page);
    return {};
  }
  page.compressed = true;  // the pages a split fills
  const std::size_t k = cutPoint(page, capacity, appendAtEnd);
  if (k == 0) throw Error("An entry does not fit a page of the " + std::string(what_) + ".");
  IndexPage left = page.slice(0, k), right = page.slice(k, page.size());
  right.compressed = !(appendAtEnd && k + 1 == page.size());  // a page begun at the end starts plain
  const std::uint32_t rightNumber = allocate();
  const std::uint32_t oldNext = page.next;
  left.prev = page.prev;
  left.next = rightNumber;
  left.tail = 0;
  right.prev = number;
  right.next = oldNext;
  right.tail = page.tail;
  InsertResult r;
  r.split = true;
  r.splitInfo = {maxOf(left), rightNumber, maxOf(right)};
  write(number, std::move(left));  // `page` is this page's cached image
  write(rightNumber, std::move(right));
  setPrev(oldNext, rightNumber);
  return r;
}

void IndexTree::splitRoot(IndexPage& page) {
  const std::size_t capacity = indexPageCapacity(pager_.format());
  page.compressed = true;
  const std::size_t k = cutPoint(page, capacity, false);
  if (k == 0) throw Error("An entry does not fit a page of the " + std::string(what_) + ".");
  IndexPage left = page.slice(0, k), right = page.slice(k, page.size());
  const std::uint32_t leftNumber = allocate(), rightNumber = allocate();
  left.next = rightNumber;
  right.prev = leftNumber;
  right.tail = page.tail;
  IndexPage root;
  root.leaf = false;
  root.owner = page.owner;
  const auto l = withChild(maxOf(left), leftNumber), r = withChild(maxOf(right), rightNumber);
  root.insert(0, l);
  root.insert(1, r);
  write(leftNumber, std::move(left));
  write(rightNumber, std::move(right));
  write(root_, std::move(root));
}

void IndexTree::fixTails() {
  std::vector<std::uint32_t> spine;
  std::uint32_t number = root_;
  for (int depth = 0; depth < 64; ++depth) {
    const IndexPage& page = read(number);
    if (page.leaf) break;
    if (page.size() == 0) return;
    spine.push_back(number);
    number = page.child(page.size() - 1);
  }
  // A tail leaf Access keeps outside the tree stays the tail.
  for (std::size_t steps = 0; steps <= pager_.pageCount(); ++steps) {
    const IndexPage& leaf = read(number);
    if (leaf.next == 0) break;
    number = leaf.next;
  }
  for (std::uint32_t node : spine) {
    IndexPage& page = read(node);
    if (page.tail == number) continue;
    page.tail = number;
    flush(node);
  }
}

bool IndexTree::empty() {
  const IndexPage& root = read(root_);
  return root.leaf && root.size() == 0 && root.next == 0;
}

namespace {

// Entries, in order, into as few pages as they fit: each page filled until
// the next entry would not fit. A leaf's size is counted as it grows (its
// entries after the first leave out what the first and the last share), as
// encodedIndexSize would count it.
template <typename EntryAt>
std::vector<IndexPage> packPages(const Format& format, std::uint32_t owner, bool leaf, std::size_t count, EntryAt entryAt) {
  const std::size_t capacity = indexPageCapacity(format);
  std::vector<IndexPage> pages;
  std::size_t raw = 0;     // entry bytes on the page being filled
  std::size_t shared = 0;  // what its first and last entries share
  std::size_t room = capacity;  // bytes to reserve for a page's entries
  std::size_t entries = 16;     // and entries
  for (std::size_t i = 0; i < count; ++i) {
    const std::span<const std::uint8_t> entry = entryAt(i);
    if (!pages.empty()) {
      IndexPage& page = pages.back();
      const std::size_t common = leaf ? sharedPrefix(page.entry(0), entry, shared) : 0;
      const std::size_t prefix = leaf ? std::min(common, entry.size() - 1) : 0;
      if (raw + entry.size() - page.size() * prefix <= capacity) {
        page.insert(page.size(), entry);
        raw += entry.size();
        shared = common;
        continue;
      }
      room = std::max(room, raw);
      entries = std::max(entries, page.size());
    }
    pages.emplace_back();
    IndexPage& page = pages.back();
    page.leaf = leaf;
    page.owner = owner;
    page.compressed = leaf;  // as the pages a split fills
    page.bytes.reserve(room);
    page.ends.reserve(entries);
    page.insert(0, entry);
    raw = entry.size();
    shared = entry.size();
  }
  return pages;
}

}  // namespace

std::vector<IndexPage> IndexTree::packLeaves(const Format& format, std::uint32_t owner, std::string_view what,
                                             std::span<const std::span<const std::uint8_t>> entries) {
  const std::size_t limit = maxKeySize(format);
  return packPages(format, owner, true, entries.size(), [&](std::size_t i) {
    if (i + 48 < entries.size()) __builtin_prefetch(entries[i + 48].data());
    const auto entry = entries[i];
    checkEntrySize(entry, limit, what);
    return entry;
  });
}

std::vector<std::vector<std::uint8_t>> IndexTree::storeLevel(std::vector<IndexPage> pages) {
  if (pages.size() == 1) {
    pages[0].prev = pages[0].next = pages[0].tail = 0;
    write(root_, std::move(pages[0]));
    return {};
  }
  std::vector<std::uint32_t> numbers(pages.size());
  for (std::uint32_t& number : numbers) number = allocate();
  std::vector<std::vector<std::uint8_t>> above;
  above.reserve(pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    pages[i].prev = i > 0 ? numbers[i - 1] : 0;
    pages[i].next = i + 1 < pages.size() ? numbers[i + 1] : 0;
    pages[i].tail = 0;
    above.push_back(withChild(maxOf(pages[i]), numbers[i]));
    write(numbers[i], std::move(pages[i]));
  }
  return above;
}

void IndexTree::build(std::vector<IndexPage> leaves) {
  if (leaves.empty()) return;
  if (!empty()) throw std::logic_error("an index tree is built only when empty");
  const std::uint32_t owner = read(root_).owner;
  std::vector<std::vector<std::uint8_t>> above = storeLevel(std::move(leaves));
  for (int depth = 0; !above.empty(); ++depth) {
    if (depth > 64) throw std::logic_error("an index tree of more than 64 levels");
    std::vector<IndexPage> nodes =
        packPages(pager_.format(), owner, false, above.size(), [&](std::size_t i) { return std::span<const std::uint8_t>(above[i]); });
    above = storeLevel(std::move(nodes));
  }
  fixTails();
}

bool IndexTree::containsKey(std::span<const std::uint8_t> key) {
  const IndexPage* page = &read(root_);
  treeTail_ = page->leaf ? 0 : page->tail;
  for (int depth = 0; !page->leaf; ++depth) {
    if (depth > 64 || page->size() == 0) throwDamaged(pager_.path(), "the " + std::string(what_) + " has a broken tree");
    const std::size_t i = lowerBound(*page, key);
    std::uint32_t next;
    if (i < page->size()) next = page->child(i);
    else if (const std::uint32_t tail = unreferencedTail(*page)) next = tail;
    else return false;
    page = &read(next);
  }
  const std::size_t at = lowerBound(*page, key);
  if (at >= page->size()) return false;
  const auto e = page->entry(at);
  return e.size() == key.size() + kIndexPointerSize && std::equal(key.begin(), key.end(), e.begin());
}

bool IndexTree::remove(std::span<const std::uint8_t> key, RowLocation row) {
  std::vector<std::uint8_t> entry(key.begin(), key.end());
  appendDataPointer(entry, row.page, static_cast<std::uint8_t>(row.row));
  const IndexPage& root = read(root_);
  treeTail_ = root.leaf ? 0 : root.tail;
  splitHappened_ = false;
  const bool found = removeFrom(root_, entry).found;
  if (splitHappened_) fixTails();
  return found;
}

IndexTree::RemoveResult IndexTree::removeFrom(std::uint32_t number, std::span<const std::uint8_t> entry) {
  IndexPage& page = read(number);
  const std::vector<std::uint8_t> oldMax = maxOf(page);
  if (page.leaf) {
    const std::size_t at = lowerBound(page, entry);
    if (at >= page.size() || !std::ranges::equal(page.entry(at), entry)) return {};
    page.erase(at);
  } else {
    const std::size_t i = lowerBound(page, entry);
    if (i == page.size()) {
      // Past the tree's last entry: only an outside tail leaf may hold it.
      if (const std::uint32_t tail = unreferencedTail(page)) {
        IndexPage& leaf = read(tail);
        const std::size_t at = lowerBound(leaf, entry);
        if (at >= leaf.size() || !std::ranges::equal(leaf.entry(at), entry)) return {};
        leaf.erase(at);
        flush(tail);
        return {true, false, false, {}};
      }
      return {};
    }
    const std::uint32_t child = page.child(i);
    RemoveResult below = removeFrom(child, entry);
    if (!below.found) return {};
    if (below.empty) {
      page.erase(i);
      splitHappened_ = true;
    } else if (below.maxChanged) {
      page.replace(i, withChild(below.max, child));
    } else {
      return {true, false, false, {}};
    }
  }
  RemoveResult r{true, false, false, {}};
  if (page.size() == 0 && number != root_) {
    // The page leaves its level and the file's use.
    const std::uint32_t prev = page.prev, next = page.next;
    cache_->forget(pager_, number);
    setNext(prev, next);
    setPrev(next, prev);
    PageAllocator(pager_).release(number);
    clearPageInMap(pager_, usageMap_, number, std::string(what_));
    r.empty = true;
    return r;
  }
  if (page.size() == 0) page = IndexPage{true, page.owner, 0, 0, 0, false, {}, {}};  // an emptied root is an empty leaf
  flush(number);
  std::vector<std::uint8_t> max = maxOf(read(number));
  if (max != oldMax) {
    r.maxChanged = true;
    r.max = std::move(max);
  }
  return r;
}

std::vector<std::vector<std::uint8_t>> indexEntries(Pager& pager, std::uint32_t rootPage, const std::string& what) {
  const auto read = [&](std::uint32_t n) { return decodeIndexPage(pager.format(), pager.page(n)->bytes(), pager.path(), what, n); };
  IndexPage page = read(rootPage);
  for (int depth = 0; !page.leaf; ++depth) {
    if (depth > 64 || page.size() == 0) throwDamaged(pager.path(), "the " + what + " has a broken tree");
    page = read(page.child(0));
  }
  std::vector<std::vector<std::uint8_t>> out;
  for (std::size_t pages = 0;; ++pages) {
    for (std::size_t i = 0; i < page.size(); ++i) out.emplace_back(page.entry(i).begin(), page.entry(i).end());
    if (page.next == 0) break;
    if (pages > pager.pageCount()) throwDamaged(pager.path(), "the leaf pages of the " + what + " form a loop");
    page = read(page.next);
  }
  return out;
}

}  // namespace fennick::jet
