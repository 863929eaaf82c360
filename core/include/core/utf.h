// Conversions between UTF-8 (the program's one internal encoding) and UTF-16
// (Win32, Jet 4's UCS-2). Pure functions; no locale involved.
#pragma once

#include <string>
#include <string_view>

namespace fennick {

// Invalid UTF-8 sequences become U+FFFD; code points above U+FFFF become
// surrogate pairs.
std::u16string utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

// Appends the UTF-8 form of one code point (U+FFFD for an invalid one).
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point starting at `pos` and advances `pos`; invalid
// sequences give U+FFFD and advance one byte.
char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);

bool isValidUtf8(std::string_view text);

// The text itself when it is valid UTF-8; otherwise with every invalid
// sequence replaced by U+FFFD.
std::string toValidUtf8(std::string_view text);

// UTF-16 held as bytes (a file's contents after its byte-order mark) to
// UTF-8; a lone last byte becomes U+FFFD.
std::string utf16BytesToUtf8(std::string_view bytes, bool bigEndian);

// Number of UTF-16 code units the text occupies (lengths of names are
// counted that way).
std::size_t utf16Length(std::string_view utf8);

// The text cut to at most `units` UTF-16 code units, never splitting a
// surrogate pair (lengths and cuts of names count UTF-16 units).
std::string cutToUtf16Units(std::string_view utf8, std::size_t units);

// ASCII-only case folding, for names compared without regard to case.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace fennick
