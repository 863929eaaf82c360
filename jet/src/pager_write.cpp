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

Pager::Changed& Pager::changedPage(std::uint32_t number) {
  if (!inTransaction_) throw Error("Changing \"" + path() + "\" needs an open transaction.");
  auto it = dirty_.find(number);
  if (it == dirty_.end()) {
    PageRef current = page(number);
    std::vector<std::uint8_t> copy(current->bytes().begin(), current->bytes().end());
    it = dirty_.emplace(number, Changed{std::make_shared<Page>(number, std::move(copy)), std::move(current)}).first;
  }
  return it->second;
}

std::span<std::uint8_t> Pager::writablePage(std::uint32_t number) {
  Changed& changed = changedPage(number);
  encodeIfDeferred(number);
  return changed.page->bytes_;
}

void Pager::deferPage(std::uint32_t number, PageEncoder& encoder) {
  if (deferred_.contains(number)) return;
  changedPage(number);
  deferred_.emplace(number, &encoder);
}

void Pager::encodeIfDeferred(std::uint32_t number) {
  if (deferred_.empty()) return;
  const auto it = deferred_.find(number);
  if (it == deferred_.end()) return;
  PageEncoder& encoder = *it->second;
  deferred_.erase(it);
  encoder.encodePage(*format_, number, dirty_.at(number).page->bytes_);
}

void Pager::encodeDeferred() {
  // In page order, though any order gives the same bytes.
  std::vector<std::uint32_t> numbers;
  numbers.reserve(deferred_.size());
  for (const auto& entry : deferred_) numbers.push_back(entry.first);
  std::sort(numbers.begin(), numbers.end());
  for (std::uint32_t number : numbers) encodeIfDeferred(number);
}

std::uint32_t Pager::appendPage() {
  if (!inTransaction_) throw Error("Changing \"" + path() + "\" needs an open transaction.");
  if ((std::uint64_t(pageCount_) + 1) * format_->pageSize > kMaxFileSize)
    throw Error("The database \"" + path() + "\" cannot grow further: Jet files are limited to 2 GB.");
  const std::uint32_t number = pageCount_++;
  dirty_[number] = Changed{std::make_shared<Page>(number, std::vector<std::uint8_t>(format_->pageSize, 0)), nullptr};
  return number;
}

void Pager::commit() {
  if (!inTransaction_) throw Error("There is no open transaction on \"" + path() + "\" to commit.");
  encodeDeferred();
  if (!dirty_.empty()) {
    JournalImage journal;
    journal.pageSize = format_->pageSize;
    journal.originalFileSize = std::uint64_t(committedPageCount_) * format_->pageSize;
    for (const auto& [number, changed] : dirty_) {
      if (number >= committedPageCount_ || !changed.original) continue;  // new pages go away with the truncation
      const auto bytes = changed.original->bytes();
      journal.originalPages.emplace(number, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
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
        run.insert(run.end(), changed.page->bytes_.begin(), changed.page->bytes_.end());
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
    ++statistics_.commits;
    statistics_.pagesWritten += dirty_.size();
    statistics_.pagesJournaled += journal.originalPages.size();
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
  deferred_.clear();
  pageCount_ = committedPageCount_;
  inTransaction_ = false;
}

}  // namespace fennick::jet
