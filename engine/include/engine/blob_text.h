// "Convert BLOB to text": the plain text a memo field receives for a binary
// value of the source. Relies on the RTF reader for rich text and on the
// platform's code pages for everything else.
#pragma once

#include <optional>
#include <string>

#include "core/value.h"

namespace fennick {

// The value's text in UTF-8:
// - The first bytes choose the encoding: FF FE is UTF-16 little-endian,
//   FE FF UTF-16 big-endian, EF BB BF UTF-8, anything else the system's ANSI
//   code page.
// - A value that starts with "{\rtf" (after the mark, if any) is read as an
//   RTF document and gives its visible text, with CR LF between paragraphs
//   and no break after the last one. The default code page of its \'hh bytes
//   is the ANSI code page, or Windows-1252 where that is UTF-8 (\'hh bytes
//   are never UTF-8).
// - Anything else, or an RTF document that is malformed (unbalanced braces,
//   cut short), is read as plain text in the chosen encoding, without the
//   mark; its CR, LF and CR LF line ends all become CR LF, as the rich-edit
//   control of the Windows program gave them.
// - Bytes the encoding cannot decode become U+FFFD; an empty value gives "".
// Every value can currently be read; nullopt is kept for values that cannot
// (the caller then leaves the field unset).
std::optional<std::string> blobToText(const Bytes& bytes);

}  // namespace fennick
