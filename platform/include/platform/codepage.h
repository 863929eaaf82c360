// Text in the system's ANSI code page and in explicit Windows code pages.
//
// Windows: GetACP, WideCharToMultiByte and MultiByteToWideChar, with the code
// page's default character for what it cannot represent. Elsewhere the
// "ANSI code page" is the locale's character set (UTF-8 on nearly every
// system), and explicit code pages go through iconv.
#pragma once

#include <string>
#include <string_view>

namespace fennick::platform {

// The ANSI code page number: GetACP() on Windows; 65001 when the locale's
// character set is UTF-8 elsewhere, otherwise the matching Windows number
// where one is known (1252 for Latin-1-like sets, 20127 for ASCII).
unsigned ansiCodePage();

// UTF-8 to the ANSI code page; characters it cannot represent become its
// default character ("?" for most).
std::string toAnsi(std::string_view utf8);
// The ANSI code page to UTF-8.
std::string fromAnsi(std::string_view ansi);

// The same for a given Windows code page number (1252, 936, 65001, ...).
// An unknown code page falls back to Windows-1252, the Jet 3 default.
std::string toCodePage(unsigned codePage, std::string_view utf8);
std::string fromCodePage(unsigned codePage, std::string_view bytes);

}  // namespace fennick::platform
