// The pager's write side: copy-on-write pages of the open transaction,
// growing the file, and the commit through the rollback journal. Relies on
// journal.h and platform::File.
#include <algorithm>
#include <vector>

#include "bytes.h"
#include "jet/error.h"
#include "pager.h"

namespace fennick::jet {
namespace {

// Jet files may not reach 2 GB.
constexpr std::uint64_t kMaxFileSize = 0x80000000ULL;
// The largest single write of a commit.
constexpr std::size_t kMaxRunBytes = 1 << 20;

}  // namespace

void Pager::beginTransaction() {
  if (inTransaction_) throw Error("A transaction on \"" + path() + "\" is already open.");
  if (!recovered_.empty() || !writable_)
    throw Error("The database \"" + path() + "\" was opened read-only and cannot be changed.");
  inTransaction_ = true;
  committedPageCount_ = pageCount_;
}

std::span<std::uint8_t> Pager::writablePage(std::uint32_t number) {
  if (!inTransaction_) throw Error("Changing \"" + path() + "\" needs an open transaction.");
  auto it = dirty_.find(number);
  if (it == dirty_.end()) {
    const PageRef current = page(number);
    std::vector<std::uint8_t> copy(current->bytes().begin(), current->bytes().end());
    it = dirty_.emplace(number, std::make_shared<Page>(number, std::move(copy))).first;
  }
  return it->second->bytes_;
}

std::uint32_t Pager::appendPage() {
  if (!inTransaction_) throw Error("Changing \"" + path() + "\" needs an open transaction.");
  if ((std::uint64_t(pageCount_) + 1) * format_->pageSize > kMaxFileSize)
    throw Error("The database \"" + path() + "\" cannot grow further: Jet files are limited to 2 GB.");
  const std::uint32_t number = pageCount_++;
  dirty_[number] = std::make_shared<Page>(number, std::vector<std::uint8_t>(format_->pageSize, 0));
  return number;
}

void Pager::commit() {
  if (!inTransaction_) throw Error("There is no open transaction on \"" + path() + "\" to commit.");
  if (!dirty_.empty()) {
    JournalImage journal;
    journal.pageSize = format_->pageSize;
    journal.originalFileSize = std::uint64_t(committedPageCount_) * format_->pageSize;
    for (const auto& [number, changed] : dirty_) {
      if (number >= committedPageCount_) continue;  // new pages go away with the truncation
      std::vector<std::uint8_t> original(format_->pageSize);
      if (file_.readAt(std::uint64_t(number) * format_->pageSize, original.data(), original.size()) != original.size())
        throwDamaged(path(), "page " + std::to_string(number) + " could not be read in full");
      journal.originalPages.emplace(number, std::move(original));
    }
    writeJournal(path(), journal);
    try {
      // Runs of consecutive pages go out in one write each: a bulk load
      // changes mostly new pages at the end of the file.
      std::vector<std::uint8_t> run;
      std::uint32_t runStart = 0;
      const auto flush = [&] {
        if (!run.empty()) file_.writeAt(std::uint64_t(runStart) * format_->pageSize, run.data(), run.size());
        run.clear();
      };
      for (const auto& [number, changed] : dirty_) {
        if (run.empty() || number != runStart + run.size() / format_->pageSize || run.size() >= kMaxRunBytes) {
          flush();
          runStart = number;
        }
        run.insert(run.end(), changed->bytes_.begin(), changed->bytes_.end());
      }
      flush();
      file_.sync();
    } catch (...) {
      // Put the committed state back now if we can; else the journal left
      // behind does it when the file is next opened.
      try {
        playBackJournal(file_, journal);
        discardJournal(path());
      } catch (...) {
      }
      throw;
    }
    discardJournal(path());
  }
  // The committed pages replace what the cache held.
  for (auto& [number, changed] : dirty_) {
    if (auto slot = slots_.find(number); slot != slots_.end()) {
      lru_.erase(slot->second.lru);
      slots_.erase(slot);
    }
  }
  dirty_.clear();
  inTransaction_ = false;
}

void Pager::rollback() {
  if (!inTransaction_) throw Error("There is no open transaction on \"" + path() + "\" to roll back.");
  dirty_.clear();
  pageCount_ = committedPageCount_;
  inTransaction_ = false;
}

}  // namespace fennick::jet
