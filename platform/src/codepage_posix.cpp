// Code pages on POSIX systems: the locale's character set stands in for the
// ANSI code page; Windows code pages are reached through iconv.
#include "platform/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include "core/utf.h"

namespace fennick::platform {
namespace {

std::string localeCharset() {
  // The programs never call setlocale themselves; read the environment's
  // character set without changing the global locale.
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  std::string name = "UTF-8";
  if (loc != static_cast<locale_t>(0)) {
    name = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
  }
  return name;
}

std::string iconvNameFor(unsigned codePage) {
  switch (codePage) {
    case 65001: return "UTF-8";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 874: return "CP874";
    default:
      if (codePage >= 1250 && codePage <= 1258) return "CP" + std::to_string(codePage);
      return "CP1252";
  }
}

// Converts with iconv; characters the target cannot hold become `fallback`.
std::string convert(const std::string& from, const std::string& to, std::string_view in,
                    std::string_view fallback) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  std::size_t used = 0;
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else if (errno == EILSEQ || errno == EINVAL) {
      // Skip one input character: a whole UTF-8 sequence, or one byte.
      std::size_t skip = 1;
      if (from == "UTF-8") {
        std::size_t pos = 0;
        nextCodePoint(std::string_view(inPtr, inLeft), pos);
        skip = pos;
      }
      inPtr += skip;
      inLeft -= skip;
      if (used + fallback.size() > out.size()) out.resize(out.size() * 2 + fallback.size());
      std::memcpy(out.data() + used, fallback.data(), fallback.size());
      used += fallback.size();
    } else {
      break;
    }
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

}  // namespace

unsigned ansiCodePage() {
  const std::string cs = localeCharset();
  if (cs == "UTF-8" || cs == "utf8") return 65001;
  if (cs == "ANSI_X3.4-1968" || cs == "ASCII") return 20127;
  if (cs == "ISO-8859-1" || cs == "ISO-8859-15") return 1252;
  if (cs == "GB2312" || cs == "GBK" || cs == "GB18030") return 936;
  if (cs == "BIG5") return 950;
  if (cs == "EUC-JP" || cs == "SHIFT_JIS") return 932;
  return 65001;
}

std::string toAnsi(std::string_view utf8) {
  const std::string cs = localeCharset();
  if (cs == "UTF-8") return std::string(utf8);
  return convert("UTF-8", cs, utf8, "?");
}

std::string fromAnsi(std::string_view ansi) {
  const std::string cs = localeCharset();
  if (cs == "UTF-8") return std::string(ansi);
  return convert(cs, "UTF-8", ansi, "\xEF\xBF\xBD");
}

std::string toCodePage(unsigned codePage, std::string_view utf8) {
  if (codePage == 65001) return std::string(utf8);
  return convert("UTF-8", iconvNameFor(codePage), utf8, "?");
}

std::string fromCodePage(unsigned codePage, std::string_view bytes) {
  if (codePage == 65001) return std::string(bytes);
  return convert(iconvNameFor(codePage), "UTF-8", bytes, "\xEF\xBF\xBD");
}

}  // namespace fennick::platform
