// When the index entries held back by pending_index_entries go into their
// trees, and the promise that they always do, even across a crash. Before
// a commit leaves entries of a table out of its indexes, the table is
// listed in "<database>.findex" (written whole, synced and renamed into
// place); once every entry is in its tree, the list is removed. Opening a
// file read-write with a list beside it brings those tables' indexes in
// line with their rows (each row's entry added where it is missing) and
// removes the list. Relies on pending_index_entries, table_scan and
// index_maintenance.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database_state.h"

namespace fennick::jet {

// Entry bytes held before a commit writes them out, so that memory stays
// bounded and a load writes each index page a few times, not at every commit.
constexpr std::size_t kMaxHeldIndexBytes = 64u << 20;

std::string indexListPath(const std::string& databasePath);
// The definition pages the list beside the database names (none without
// one); kEveryTable when it cannot be read.
constexpr std::uint32_t kEveryTable = 0;  // page 0 holds no table
std::vector<std::uint32_t> tablesListed(const std::string& databasePath);
bool listsTable(const std::vector<std::uint32_t>& listed, std::uint32_t definitionPage);

// Before a commit: lists the tables whose entries it leaves out.
void listTablesLeftOut(DatabaseState& db);
// After a commit: forgets the entries it wrote, removes the list when none
// are left out, and writes them all out when too many are held.
void afterCommit(DatabaseState& db);
// Inside a transaction: every held entry into its tree (before anything
// that reads or reshapes indexes or tables).
void writeHeldEntries(DatabaseState& db);
// Outside one: the same in a transaction of its own, committed.
void settleHeldEntries(DatabaseState& db);
// As the handle closes: the open transaction is given up and the held
// entries written; if that fails the list has them written at the next open.
void settleOnClose(DatabaseState& db) noexcept;
// At opening for writing: the listed tables' indexes brought in line.
void catchUpListedTables(const std::shared_ptr<DatabaseState>& db);

}  // namespace fennick::jet
