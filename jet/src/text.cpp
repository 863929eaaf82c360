// Text decoding; ASCII takes a fast path that skips the converters.
#include "text.h"

#include "core/utf.h"
#include "platform/codepage.h"

namespace fennick::jet {
namespace {

void appendUnit(std::string& out, std::u16string& pending, char16_t unit) {
  if (unit < 0x80 && pending.empty()) {
    out.push_back(static_cast<char>(unit));
    return;
  }
  // Surrogates must meet their partner before conversion.
  pending.push_back(unit);
  if (unit >= 0xD800 && unit <= 0xDBFF) return;
  out += fennick::utf16ToUtf8(pending);
  pending.clear();
}

}  // namespace

std::string decodeUcs2Text(std::span<const std::uint8_t> s) {
  std::string out;
  std::u16string pending;
  if (s.size() >= 2 && s[0] == 0xFF && s[1] == 0xFE) {
    out.reserve(s.size());
    bool compressed = true;
    std::size_t i = 2;
    while (i < s.size()) {
      if (s[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        appendUnit(out, pending, s[i]);
        ++i;
      } else {
        if (i + 1 >= s.size()) break;
        appendUnit(out, pending, static_cast<char16_t>(s[i] | (s[i + 1] << 8)));
        i += 2;
      }
    }
  } else {
    out.reserve(s.size() / 2);
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
      appendUnit(out, pending, static_cast<char16_t>(s[i] | (s[i + 1] << 8)));
  }
  if (!pending.empty()) out += fennick::utf16ToUtf8(pending);
  return out;
}

std::string TextCodec::decode(std::span<const std::uint8_t> stored) const {
  if (format->unicodeNames) return decodeUcs2Text(stored);
  bool ascii = true;
  for (std::uint8_t b : stored)
    if (b >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(stored.begin(), stored.end());
  return platform::fromCodePage(codePage, std::string_view(reinterpret_cast<const char*>(stored.data()), stored.size()));
}

}  // namespace fennick::jet
