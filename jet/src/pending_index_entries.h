// Index entries of appended rows not yet written into their index trees.
// Appending rows in random key order would otherwise rewrite most leaf
// pages of every index at every commit; held here, they go into the trees
// in key order, many commits' worth at a time, each page once. The rows
// themselves are committed as usual, so the entries can always be derived
// again from them (index_catch_up.h keeps that promise across a crash).
//
// Each index's entries are a sequence: the committed ones first, then the
// open transaction's. writeInto() puts them into the trees inside the open
// transaction; once that commits they are forgotten, and if it rolls back
// the committed ones are held again. Relies on index_btree for the trees.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "held_entry_store.h"
#include "index_btree.h"
#include "index_page_cache.h"
#include "jet/schema.h"
#include "pager.h"

namespace fennick::jet {

class PendingIndexEntries {
 public:
  bool empty() const { return groups_.empty(); }
  // Entry bytes held.
  std::size_t bytes() const { return bytes_; }
  // The tables with entries not in their trees, and that will not be once
  // the open transaction commits.
  std::vector<std::uint32_t> tablesLeftOut() const;

  // What the look-ups of a unique key below take with it: made once for
  // the key, which is looked up and added under it.
  static std::uint64_t hashKey(std::span<const std::uint8_t> key);
  // Whether an entry held for the stored index, and not yet in its tree,
  // has exactly this key (counting only keys added with `uniqueKey`).
  bool holdsKey(const RealIndex& real, std::span<const std::uint8_t> key, std::uint64_t hash);
  // Starts fetching what holdsKey() for a key of this hash will read.
  void prefetch(const RealIndex& real, std::uint64_t hash) const;
  // Holds key + the row's data pointer for the table's stored index `real`
  // (`what` names it in messages). `uniqueKey`: a key of a unique index
  // without NULLs, which holdsKey must find; `hash` its hashKey().
  void add(std::uint32_t definitionPage, const RealIndex& real, const std::string& what,
           std::span<const std::uint8_t> key, RowLocation row, bool uniqueKey, std::uint64_t hash);

  // Writes every entry not yet in its tree, in key order, inside the pager's
  // open transaction.
  void writeInto(Pager& pager, IndexPageCache& cache);

  // The open transaction committed / rolled back.
  void commit();
  void rollback();

 private:
  struct Group {
    std::uint32_t definitionPage = 0;
    std::uint32_t usageMapPointer = 0;
    std::string what;
    HeldEntryStore entries;
    std::vector<bool> uniqueKey;  // per entry
    // Below, only entries not yet in the tree count (the tree answers for
    // the others). The largest unique key held: a key past it needs no
    // look-up, so loads in key order never read the filter below.
    std::vector<std::uint8_t> largestUnique;
    bool anyUnique = false;
    // A blocked Bloom filter over the unique keys, kept as they are added:
    // three bits in one word per key, about 16 bits a key, so that a key
    // held nowhere (nearly every key of a load) is answered from a small
    // array. What it lets through is settled by the key's partition: the
    // unique keys spread by their hash over lists of (high half of the hash,
    // entry number + 1), short enough to read through, and appended to at
    // add time, which touches only the lists' ends.
    std::vector<std::uint64_t> filter;
    std::vector<std::vector<std::uint64_t>> partitions;
    std::size_t filtered = 0;  // keys in the filter and the partitions
    std::size_t committed = 0;  // entries before the open transaction's
    std::size_t written = 0;    // entries in the trees, in the open transaction

    std::span<const std::uint8_t> key(std::size_t i) const {
      return entries[i].first(entries[i].size() - kIndexPointerSize);
    }
    bool holdsKey(std::span<const std::uint8_t> key, std::uint64_t hash);
    // The entries not yet in the tree, sorted. Reads nothing but the group.
    std::vector<std::span<const std::uint8_t>> inKeyOrder() const;
    void lookUpKey(std::uint64_t hash, std::size_t entry);
    void rebuildLookUp(std::size_t keys);
    void forgetLookUp();  // after entries were removed
    void keep(std::size_t from, std::size_t to);  // only entries [from, to) remain
  };
  // By root page: a stored index keeps its root for life, while its number
  // in the table changes when an index before it is dropped.
  std::map<std::uint32_t, Group> groups_;
  std::size_t bytes_ = 0;
};

}  // namespace fennick::jet
