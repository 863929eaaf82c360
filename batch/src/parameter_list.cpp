// Reading the parameter file into key=value lines, and whole numbers.
#include "batch/parameter_list.h"

#include "core/utf.h"
#include "platform/codepage.h"
#include "platform/file.h"

namespace fennick {
namespace {

std::string decode(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return utf16BytesToUtf8(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return utf16BytesToUtf8(bytes.substr(2), true);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return toValidUtf8(bytes.substr(3));
  return toValidUtf8(platform::fromAnsi(bytes));
}

}  // namespace

void ParameterList::load(const std::string& path) {
  // readWholeFile's error already reads "Cannot open file "<path>". <reason>".
  loadBytes(platform::readWholeFile(path));
}

void ParameterList::loadBytes(std::string_view bytes) {
  std::string text = decode(bytes);
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  lines_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines_.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

std::string ParameterList::lookup(std::string_view key) const {
  for (const auto& line : lines_) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (equalsIgnoreAsciiCase(std::string_view(line).substr(0, eq), key))
      return line.substr(eq + 1);
  }
  return {};
}

std::optional<int> parseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  unsigned long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 10) {
    if (negative ? value > 2147483648ull : value > 2147483647ull) return std::nullopt;
    return negative ? static_cast<int>(-static_cast<long long>(value)) : static_cast<int>(value);
  }
  // Hexadecimal digits fill the 32 bits: $FFFFFFFF is -1.
  auto bits = static_cast<std::uint32_t>(value);
  if (negative) bits = 0u - bits;  // unsigned wrap-around: -$80000000 stays in range
  return static_cast<std::int32_t>(bits);
}

std::string invalidIntegerMessage(std::string_view text) {
  return "''" + std::string(text) + "'' is not a valid integer value";
}

}  // namespace fennick
