// The rollback journal that makes a commit all-or-nothing. Before a
// transaction touches the database, the original images of the pages it
// changes and the original file size go to "<database>.fjournal" with its
// completion mark and a checksum of the records, and are synced (a journal
// whose records did not all arrive fails the checksum and counts as
// incomplete). The database is
// then written and synced, and the journal is invalidated (its mark cleared
// and synced) and removed: that is the moment of commit. A complete journal
// found on opening means a commit was cut short; playing it back restores
// the state before it. An incomplete one means the database was never
// touched and is discarded. Relies on platform::File.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"

namespace fennick::jet {

struct JournalImage {
  std::uint32_t pageSize = 0;
  std::uint64_t originalFileSize = 0;
  std::map<std::uint32_t, std::vector<std::uint8_t>> originalPages;  // by page number
};

std::string journalPath(const std::string& databasePath);

// Writes the journal of `image` beside the database and makes it durable
// and complete. Throws platform errors naming the journal file.
void writeJournal(const std::string& databasePath, const JournalImage& image);

// Clears the journal's completion mark durably, then removes the file.
void discardJournal(const std::string& databasePath);

// The complete journal left beside the database, if any. A journal that is
// incomplete, damaged, or does not fit the database's page size counts as
// none: no page of the database was written under it.
std::optional<JournalImage> readJournal(const std::string& databasePath, std::uint32_t pageSize);

// Restores the pages and the size the journal holds and syncs the database.
void playBackJournal(platform::File& database, const JournalImage& image);

}  // namespace fennick::jet
