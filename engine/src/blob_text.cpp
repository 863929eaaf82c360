// "Convert BLOB to text": choosing the encoding from the byte-order mark,
// offering the value to the RTF reader, and the plain-text reading that
// serves when it is not RTF.
#include "engine/blob_text.h"

#include <string_view>

#include "core/utf.h"
#include "platform/codepage.h"
#include "rtf_reader.h"

namespace fennick {
namespace {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct Marked {
  Encoding encoding;
  std::string_view body;  // the bytes after the mark
};

Marked readMark(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return {Encoding::Utf16Le, bytes.substr(2)};
  if (bytes.starts_with("\xFE\xFF")) return {Encoding::Utf16Be, bytes.substr(2)};
  if (bytes.starts_with("\xEF\xBB\xBF")) return {Encoding::Utf8, bytes.substr(3)};
  return {Encoding::Ansi, bytes};
}

std::string withCrLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

unsigned rtfDefaultCodePage() {
  const unsigned ansi = platform::ansiCodePage();
  return ansi == 65001 || ansi == 20127 ? 1252 : ansi;
}

}  // namespace

std::optional<std::string> blobToText(const Bytes& bytes) {
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const Marked marked = readMark(raw);

  // The text form of the value: UTF-8 for a marked value, the raw bytes
  // (still in the ANSI code page) otherwise.
  std::string marked8;
  std::string_view text = marked.body;
  if (marked.encoding == Encoding::Utf16Le || marked.encoding == Encoding::Utf16Be) {
    marked8 = utf16BytesToUtf8(marked.body, marked.encoding == Encoding::Utf16Be);
    text = marked8;
  }

  if (looksLikeRtf(text)) {
    RtfReadOptions options;
    options.defaultCodePage = rtfDefaultCodePage();
    options.literalTextIsUtf8 = marked.encoding != Encoding::Ansi;
    if (auto plain = rtfToPlainText(text, options)) return plain;
  }

  const std::string decoded =
      marked.encoding == Encoding::Ansi ? toValidUtf8(platform::fromAnsi(text)) : toValidUtf8(text);
  return withCrLfLineEnds(decoded);
}

}  // namespace fennick
