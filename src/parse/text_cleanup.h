// Cleanup of raw feed text: entity references, CDATA markers, markup, relative links, file names and
// XML escaping. Pure functions of their arguments; any thread. Every function is linear in its input.
//
// Callers combine them: one-line texts (titles) go through DecodeEntities twice and then StripMarkup, so
// that doubly escaped feeds ("&amp;lt;") end up as plain characters; long item texts go through
// DecodeEntities once and then StripCdata.
#pragma once

#include <string>
#include <string_view>

namespace qf {

// One left-to-right pass that replaces the references of at most 8 characters ("&" to ";"): decimal
// ("&#233;") and hexadecimal ("&#x20AC;") numeric references by the character of their low 16 bits, the
// ASCII names ("&amp;", "&nbsp;" as a plain blank, ...) in any letter case, and the HTML Latin-1 names
// exactly as written ("&Eacute;" but not "&EACUTE;"). Unknown references and numeric references without
// digits stay as written; a replaced character is not read again ("&amp;lt;" gives "&lt;").
std::u16string DecodeEntities(std::u16string_view text);

// Opens every complete CDATA section: its content, trimmed, takes the place of the section after one
// blank (trailing white space before the section is dropped); the result is trimmed. From an
// unterminated "<![CDATA[" on, the text stays as it is. "a<![CDATA[b]]>c" gives "a bc".
std::u16string StripCdata(std::u16string_view text);

// StripCdata, then every complete tag ("<" to the next ">") replaced by one blank after trimming what
// precedes it; the result trimmed and its tabs turned into blanks. Entities are not touched.
std::u16string StripMarkup(std::u16string_view text);

// Prefixes relative values of href="..", src="..", href='..' and src='..' (exact, case-sensitive
// openings) with the directory part of `base_url` (up to and including its last "/", else its last "\").
// Values beginning with "http", "ftp" or "#" are left alone; "/x" and "mailto:" count as relative.
std::u16string AbsolutizeLinks(std::u16string_view html, std::u16string_view base_url);

// Every one of / \ : * ? " < > | replaced by "_".
std::u16string SanitizeFileName(std::u16string_view text);

// "<", ">", "'" and '"' written as "&lt;", "&gt;", "&#039;" and "&quot;"; "&" is left as it is.
std::u16string EscapeXml(std::u16string_view text);

}  // namespace qf
