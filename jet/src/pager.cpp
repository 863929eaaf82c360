// Page reads and the LRU cache.
#include "pager.h"

#include "bytes.h"

namespace fennick::jet {

Pager::Pager(platform::File file, const Format& format, std::size_t cachePages)
    : file_(std::move(file)), format_(&format), capacity_(cachePages < 8 ? 8 : cachePages) {
  const std::uint64_t pages = file_.size() / format.pageSize;
  pageCount_ = pages > 0xFFFFFFu ? 0xFFFFFFu : static_cast<std::uint32_t>(pages);
}

Pager Pager::writable(platform::File file, const Format& format, std::size_t cachePages) {
  Pager pager(std::move(file), format, cachePages);
  pager.writable_ = true;
  return pager;
}

void Pager::recover(const JournalImage& journal) {
  if (writable_) {
    playBackJournal(file_, journal);
    discardJournal(path());
  } else {
    for (const auto& [number, bytes] : journal.originalPages)
      recovered_[number] = std::make_shared<const Page>(number, bytes);
  }
  slots_.clear();
  lru_.clear();
  const std::uint64_t pages = journal.originalFileSize / format_->pageSize;
  pageCount_ = pages > 0xFFFFFFu ? 0xFFFFFFu : static_cast<std::uint32_t>(pages);
}

PageRef Pager::page(std::uint32_t number) {
  if (auto it = dirty_.find(number); it != dirty_.end()) {
    encodeIfDeferred(number);
    return it->second.page;
  }
  if (auto it = recovered_.find(number); it != recovered_.end() && number < pageCount_) return it->second;
  if (auto it = slots_.find(number); it != slots_.end()) {
    lru_.splice(lru_.begin(), lru_, it->second.lru);
    return it->second.page;
  }
  if (number >= pageCount_)
    throwDamaged(path(), "page " + std::to_string(number) + " is referenced but lies past the end of the file (" +
                             std::to_string(pageCount_) + " pages)");
  std::vector<std::uint8_t> bytes(format_->pageSize);
  const std::size_t got = file_.readAt(std::uint64_t(number) * format_->pageSize, bytes.data(), bytes.size());
  if (got != bytes.size()) throwDamaged(path(), "page " + std::to_string(number) + " could not be read in full");
  auto ref = std::make_shared<const Page>(number, std::move(bytes));
  if (slots_.size() >= capacity_) {
    slots_.erase(lru_.back());
    lru_.pop_back();
  }
  lru_.push_front(number);
  slots_.emplace(number, Slot{ref, lru_.begin()});
  return ref;
}

PageRef Pager::page(std::uint32_t number, std::uint8_t expectedType, const char* role) {
  PageRef p = page(number);
  if (p->type() != expectedType)
    throwDamaged(path(), "page " + std::to_string(number) + " should be a " + role +
                             " but has page type " + std::to_string(p->type()));
  return p;
}

}  // namespace fennick::jet
