// Long-value reading.
#include "long_value.h"

#include <unordered_set>

#include "bytes.h"
#include "data_page.h"

namespace fennick::jet {
namespace {
constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kSinglePage = 0x40000000u;
constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;

std::span<const std::uint8_t> longValueRow(Pager& pager, std::uint32_t raw, const std::string& column,
                                           PageRef& keep) {
  const RowPointer where = RowPointer::decode(raw);
  DataPageView page(pager.page(where.page), pager.format(), pager.path());
  if (where.row >= page.rowCount())
    throwDamaged(pager.path(), "the value of column \"" + column + "\" points to row " + std::to_string(where.row) +
                                   " of page " + std::to_string(where.page) + ", which has only " +
                                   std::to_string(page.rowCount()) + " rows");
  keep = page.page();
  return page.rowBytes(page.slot(where.row));
}
}  // namespace

fennick::Bytes readLongValue(Pager& pager, std::span<const std::uint8_t> field, const std::string& column) {
  const std::string& path = pager.path();
  ByteReader r(field, path, "long value");
  if (field.size() < pager.format().longValueHeaderSize)
    throwDamaged(path, "the value of column \"" + column + "\" is shorter than a long-value header");
  const std::uint32_t head = r.u32(0);
  const std::uint32_t length = head & kLengthMask;
  if (std::uint64_t(length) > std::uint64_t(pager.pageCount()) * pager.format().pageSize)
    throwDamaged(path, "the value of column \"" + column + "\" claims " + std::to_string(length) +
                           " bytes, more than the whole file");
  const std::size_t header = pager.format().longValueHeaderSize;
  if (head & kInline) {
    if (length > field.size() - header)
      throwDamaged(path, "the value of column \"" + column + "\" runs past the end of its row");
    auto data = field.subspan(header, length);
    return fennick::Bytes(data.begin(), data.end());
  }
  PageRef keep;
  if (head & kSinglePage) {
    auto row = longValueRow(pager, r.u32(4), column, keep);
    if (length > row.size())
      throwDamaged(path, "the value of column \"" + column + "\" is longer than the row that holds it");
    return fennick::Bytes(row.begin(), row.begin() + length);
  }
  fennick::Bytes out;
  out.reserve(length);
  std::unordered_set<std::uint32_t> seen;
  std::uint32_t next = r.u32(4);
  while (out.size() < length) {
    if (next == 0)
      throwDamaged(path, "the value of column \"" + column + "\" ends after " + std::to_string(out.size()) +
                             " of its " + std::to_string(length) + " bytes");
    if (!seen.insert(next).second)
      throwDamaged(path, "the pages holding the value of column \"" + column + "\" form a loop");
    auto row = longValueRow(pager, next, column, keep);
    if (row.size() < 4) throwDamaged(path, "a piece of the value of column \"" + column + "\" is too short");
    next = loadU32(row.data());
    const std::size_t take = std::min<std::size_t>(row.size() - 4, length - out.size());
    out.insert(out.end(), row.begin() + 4, row.begin() + 4 + take);
  }
  return out;
}

}  // namespace fennick::jet
