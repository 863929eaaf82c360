// The RTF reader: the visible plain text of an RTF document, as a rich-edit
// control would give it back. Relies on platform/codepage.h for the code
// pages of \'hh bytes and core/utf.h for \uN characters.
//
// What the text looks like:
// - \par, \sect, \page, \row, \line and a backslash before a line end become
//   CR LF, the line break of Access memo text; a paragraph mark that ends the
//   document adds none (the control's text has no break after its last
//   paragraph).
// - \tab, \cell and \nestcell become a tab; \~ a no-break space, \_ a
//   no-break hyphen; \- (optional hyphen) and CR or LF in the source nothing.
// - Font, colour and style tables, document information, pictures, objects,
//   headers, footers, footnotes, list numbering text and every \* group are
//   not text and are left out. Field results are kept, field codes left out.
// - \'hh bytes are read in the code page of the current font's \fcharset or
//   \cpg, else the document's \ansicpgN, else the default the caller gives;
//   runs of them are decoded together so double-byte characters survive.
//   \uN adds one UTF-16 unit (surrogate pairs are joined) and skips the \ucN
//   fallback characters after it.
// - Bytes a code page cannot decode and lone surrogates become U+FFFD.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fennick {

struct RtfReadOptions {
  // Code page of \'hh bytes when neither the font nor \ansicpg names one.
  unsigned defaultCodePage = 1252;
  // True when the document came behind a UTF-8 or UTF-16 byte-order mark and
  // has been turned into UTF-8: literal non-ASCII text is then UTF-8 rather
  // than bytes in the font's code page.
  bool literalTextIsUtf8 = false;
};

// Whether the text offers itself as RTF: it starts with "{\rtf".
bool looksLikeRtf(std::string_view document);

// The document's plain text in UTF-8, or nullopt when it is not RTF or is
// malformed: braces that do not balance, a backslash or \'h cut short at the
// end, \binN running past the end, or anything but white space and NULs after
// the document's closing brace. Nesting depth is limited only by the input.
std::optional<std::string> rtfToPlainText(std::string_view document,
                                          const RtfReadOptions& options);

}  // namespace fennick
