// The index checker. Damaged pages are reported as problems, not thrown.
#include "index_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "index_maintenance.h"
#include "index_page.h"
#include "jet/error.h"
#include "table_scan.h"

namespace fennick::jet {
namespace {

using Entry = std::vector<std::uint8_t>;

std::string hex(std::span<const std::uint8_t> b) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::uint8_t c : b.first(std::min<std::size_t>(b.size(), 24))) {
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  if (b.size() > 24) s += "...";
  return s;
}

class TreeWalk {
 public:
  TreeWalk(Pager& pager, std::string what, std::vector<std::string>& problems)
      : pager_(pager), what_(std::move(what)), problems_(problems) {}

  void problem(const std::string& text) { problems_.push_back(what_ + ": " + text); }

  // Walks the subtree at `number`; returns its last entry.
  Entry walk(std::uint32_t number, int depth) {
    if (depth > 32 || !visited_.insert(number).second) {
      problem("page " + std::to_string(number) + " is reached twice or the tree is too deep");
      return {};
    }
    const IndexPage page = decodeIndexPage(pager_.format(), pager_.page(number)->bytes(), pager_.path(), what_, number);
    levels_[depth].push_back({number, page.prev, page.next});
    for (std::size_t i = 1; i < page.size(); ++i) {
      const auto a = page.entry(i - 1), b = page.entry(i);
      if (!std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()))
        problem("page " + std::to_string(number) + " has entry " + std::to_string(i) + " out of order");
    }
    if (page.leaf) {
      if (leafDepth_ < 0) leafDepth_ = depth;
      else if (leafDepth_ != depth) problem("leaf page " + std::to_string(number) + " is not at the depth of the others");
      if (page.size() == 0) return {};
      const auto last = page.entry(page.size() - 1);
      return {last.begin(), last.end()};
    }
    if (page.size() == 0) problem("intermediate page " + std::to_string(number) + " is empty");
    if (depth == 0) rootTail_ = page.tail;
    Entry last;
    for (std::size_t i = 0; i < page.size(); ++i) {
      const Entry below = walk(page.child(i), depth + 1);
      const auto sep = page.separator(i);
      if (!std::ranges::equal(sep, below))
        problem("page " + std::to_string(number) + " entry " + std::to_string(i) + " (" + hex(sep) +
                ") is not the last entry of page " + std::to_string(page.child(i)) + " (" + hex(below) + ")");
      last.assign(sep.begin(), sep.end());
    }
    return last;
  }

  // After walk(0): the links of each level; returns the leaf level's pages
  // in order, with a tail leaf outside the tree appended.
  std::vector<std::uint32_t> checkLinks() {
    std::vector<std::uint32_t> leaves;
    for (auto& [depth, pages] : levels_) {
      for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::uint32_t expectPrev = i == 0 ? 0 : pages[i - 1].number;
        if (pages[i].prev != expectPrev)
          problem("page " + std::to_string(pages[i].number) + " names " + std::to_string(pages[i].prev) +
                  " as the page before it instead of " + std::to_string(expectPrev));
        if (i + 1 < pages.size() && pages[i].next != pages[i + 1].number)
          problem("page " + std::to_string(pages[i].number) + " names " + std::to_string(pages[i].next) +
                  " as the page after it instead of " + std::to_string(pages[i + 1].number));
      }
      if (depth == leafDepth_) for (const auto& p : pages) leaves.push_back(p.number);
    }
    for (auto& [depth, pages] : levels_) {
      if (pages.empty() || pages.back().next == 0) continue;
      const std::uint32_t after = pages.back().next;
      if (depth != leafDepth_ || after != rootTail_) {
        problem("page " + std::to_string(pages.back().number) + " is the last of its level but names page " +
                std::to_string(after) + " after it");
        continue;
      }
      const IndexPage tail = decodeIndexPage(pager_.format(), pager_.page(after)->bytes(), pager_.path(), what_, after);
      if (!tail.leaf || tail.prev != pages.back().number || tail.next != 0)
        problem("the tail leaf " + std::to_string(after) + " is not linked as the last leaf");
      leaves.push_back(after);
    }
    if (rootTail_ != 0 && (leaves.empty() || leaves.back() != rootTail_))
      problem("the root names page " + std::to_string(rootTail_) + " as its tail, which is not the last leaf");
    return leaves;
  }

 private:
  struct Link {
    std::uint32_t number, prev, next;
  };
  Pager& pager_;
  std::string what_;
  std::vector<std::string>& problems_;
  std::map<int, std::vector<Link>> levels_;
  std::set<std::uint32_t> visited_;
  int leafDepth_ = -1;
  std::uint32_t rootTail_ = 0;
};

}  // namespace

std::vector<std::string> checkTableIndexes(const std::shared_ptr<DatabaseState>& db, const TableDefinition& def) {
  std::vector<std::string> problems;
  if (def.realIndexes.empty()) return problems;
  const std::vector<MaintainedIndex> indexes = maintainedIndexes(def);
  std::vector<std::vector<Entry>> expected(indexes.size());
  std::vector<bool> keyable(indexes.size(), true);
  {
    TableScan scan(db, def);
    const int version = db->pager.format().version;
    Entry key;
    while (scan.next()) {
      for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (!keyable[i]) continue;
        const RealIndex& real = def.realIndexes[indexes[i].realIndex];
        bool allNull = true;
        for (const KeyPart& p : indexes[i].parts) allNull = allNull && scan.values()[p.valueIndex].isNull();
        if (allNull && real.ignoreNulls) continue;
        try {
          encodeRowKey(version, indexes[i].parts, scan.values(), key);
        } catch (const Error& e) {
          problems.push_back(indexes[i].what + ": a row's key cannot be computed: " + e.what());
          keyable[i] = false;
          continue;
        }
        appendDataPointer(key, scan.location().page, static_cast<std::uint8_t>(scan.location().row));
        expected[i].push_back(key);
      }
    }
  }
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const MaintainedIndex& m = indexes[i];
    const RealIndex& real = def.realIndexes[m.realIndex];
    try {
      TreeWalk walk(db->pager, m.what, problems);
      walk.walk(real.firstPage, 0);
      std::vector<Entry> stored;
      for (std::uint32_t leaf : walk.checkLinks()) {
        const IndexPage page = decodeIndexPage(db->pager.format(), db->pager.page(leaf)->bytes(), db->pager.path(), m.what, leaf);
        if (!page.leaf) continue;
        for (std::size_t e = 0; e < page.size(); ++e) stored.emplace_back(page.entry(e).begin(), page.entry(e).end());
      }
      if (!std::is_sorted(stored.begin(), stored.end()))
        problems.push_back(m.what + ": the leaf entries are not in key order from page to page");
      if (!keyable[i]) continue;
      std::vector<Entry>& want = expected[i];
      std::sort(want.begin(), want.end());
      std::sort(stored.begin(), stored.end());
      if (stored.size() != want.size())
        problems.push_back(m.what + ": " + std::to_string(stored.size()) + " entries for " + std::to_string(want.size()) +
                           " rows it should hold");
      std::vector<Entry> missing, extra;
      std::set_difference(want.begin(), want.end(), stored.begin(), stored.end(), std::back_inserter(missing));
      std::set_difference(stored.begin(), stored.end(), want.begin(), want.end(), std::back_inserter(extra));
      if (!missing.empty())
        problems.push_back(m.what + ": " + std::to_string(missing.size()) + " rows have no entry (first: " + hex(missing[0]) + ")");
      if (!extra.empty())
        problems.push_back(m.what + ": " + std::to_string(extra.size()) + " entries match no row (first: " + hex(extra[0]) + ")");
      if (real.unique) {
        for (std::size_t e = 1; e < stored.size(); ++e) {
          const auto& a = stored[e - 1];
          const auto& b = stored[e];
          if (a.size() == b.size() && std::equal(a.begin(), a.end() - kIndexPointerSize, b.begin()) && a[0] != 0x00 &&
              a[0] != 0xFF) {
            problems.push_back(m.what + ": the unique index holds the key " + hex(std::span(a).first(a.size() - 4)) + " twice");
            break;
          }
        }
      }
    } catch (const Error& e) {
      problems.push_back(m.what + ": " + e.what());
    }
  }
  return problems;
}

}  // namespace fennick::jet
