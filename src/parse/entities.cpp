// DecodeEntities and its two tables of named references.
#include <array>
#include <optional>
#include <unordered_map>

#include "parse/text_cleanup.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

// Longest reference that is decoded, "&" and ";" included.
constexpr size_t kMaxReferenceLength = 8;

using EntityTable = std::unordered_map<std::u16string_view, char16_t>;

// ASCII names, looked up after lower-casing the reference.
const EntityTable& AsciiNames() {
    static const EntityTable table{
        {u"&amp;", u'&'},    {u"&nbsp;", u' '},   {u"&gt;", u'>'},     {u"&lt;", u'<'},   {u"&quot;", u'"'},
        {u"&apos;", u'\''},  {u"&sp;", u' '},     {u"&excl;", u'!'},   {u"&num;", u'#'},  {u"&dollar;", u'$'},
        {u"&percnt;", u'%'}, {u"&lpar;", u'('},   {u"&rpar;", u')'},   {u"&ast;", u'*'},  {u"&plus;", u'+'},
        {u"&comma;", u','},  {u"&hyphen;", u'-'}, {u"&period;", u'.'}, {u"&sol;", u'/'},  {u"&colon;", u':'},
        {u"&semi;", u';'},   {u"&equals;", u'='}, {u"&quest;", u'?'},  {u"&lsqb;", u'['}, {u"&rsqb;", u']'},
        {u"&bsol;", u'\\'},
    };
    return table;
}

// The HTML 4 Latin-1 names, U+00A1 to U+00FF in order, matched exactly.
const EntityTable& Latin1Names() {
    static constexpr std::array<std::u16string_view, 95> kNames{
        u"&iexcl;",  u"&cent;",   u"&pound;",  u"&curren;", u"&yen;",    u"&brvbar;", u"&sect;",
        u"&uml;",    u"&copy;",   u"&ordf;",   u"&laquo;",  u"&not;",    u"&shy;",    u"&reg;",
        u"&macr;",   u"&deg;",    u"&plusmn;", u"&sup2;",   u"&sup3;",   u"&acute;",  u"&micro;",
        u"&para;",   u"&middot;", u"&cedil;",  u"&sup1;",   u"&ordm;",   u"&raquo;",  u"&frac14;",
        u"&frac12;", u"&frac34;", u"&iquest;", u"&Agrave;", u"&Aacute;", u"&Acirc;",  u"&Atilde;",
        u"&Auml;",   u"&Aring;",  u"&AElig;",  u"&Ccedil;", u"&Egrave;", u"&Eacute;", u"&Ecirc;",
        u"&Euml;",   u"&Igrave;", u"&Iacute;", u"&Icirc;",  u"&Iuml;",   u"&ETH;",    u"&Ntilde;",
        u"&Ograve;", u"&Oacute;", u"&Ocirc;",  u"&Otilde;", u"&Ouml;",   u"&times;",  u"&Oslash;",
        u"&Ugrave;", u"&Uacute;", u"&Ucirc;",  u"&Uuml;",   u"&Yacute;", u"&THORN;",  u"&szlig;",
        u"&agrave;", u"&aacute;", u"&acirc;",  u"&atilde;", u"&auml;",   u"&aring;",  u"&aelig;",
        u"&ccedil;", u"&egrave;", u"&eacute;", u"&ecirc;",  u"&euml;",   u"&igrave;", u"&iacute;",
        u"&icirc;",  u"&iuml;",   u"&eth;",    u"&ntilde;", u"&ograve;", u"&oacute;", u"&ocirc;",
        u"&otilde;", u"&ouml;",   u"&divide;", u"&oslash;", u"&ugrave;", u"&uacute;", u"&ucirc;",
        u"&uuml;",   u"&yacute;", u"&thorn;",  u"&yuml;"};
    static const EntityTable table = [] {
        EntityTable names;
        for (size_t i = 0; i < kNames.size(); ++i) names.emplace(kNames[i], static_cast<char16_t>(0xA1 + i));
        return names;
    }();
    return table;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// `body` is what stands between "&#" and ";". Decimal as _wtoi reads it (white space and a sign allowed);
// "x" or "X" then hexadecimal digits. nullopt when there is no digit to read.
std::optional<char16_t> NumericReference(std::u16string_view body) {
    if (!body.empty() && (body[0] == u'x' || body[0] == u'X')) {
        unsigned value = 0;
        size_t i = 1;
        for (; i < body.size() && HexDigit(body[i]) >= 0; ++i) value = value * 16 + HexDigit(body[i]);
        if (i == 1) return std::nullopt;
        return static_cast<char16_t>(value & 0xFFFF);
    }
    const std::u16string_view number = text::TrimLeft(body);
    const size_t digits_at = !number.empty() && (number[0] == u'-' || number[0] == u'+') ? 1 : 0;
    if (digits_at >= number.size() || number[digits_at] < u'0' || number[digits_at] > u'9')
        return std::nullopt;
    return static_cast<char16_t>(static_cast<std::uint32_t>(text::LeadingNumber(number)) & 0xFFFF);
}

// The character `reference` ("&" to ";" inclusive) stands for, or nullopt when it stays as written.
std::optional<char16_t> ReferenceCharacter(std::u16string_view reference) {
    if (reference.find(u'#') != std::u16string_view::npos) {
        return NumericReference(reference.substr(2, reference.size() - 3));
    }
    const std::u16string lower = text::ToLower(reference);
    if (auto found = AsciiNames().find(lower); found != AsciiNames().end()) return found->second;
    if (auto found = Latin1Names().find(reference); found != Latin1Names().end()) return found->second;
    return std::nullopt;
}

}  // namespace

std::u16string DecodeEntities(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find(u'&', i);
        if (amp == std::u16string_view::npos) break;
        result.append(text, i, amp - i);
        // Only the first ";" counts, and only when the reference stays within the length limit.
        const size_t semicolon = text.substr(amp, kMaxReferenceLength).find(u';');
        std::optional<char16_t> decoded;
        if (semicolon != std::u16string_view::npos)
            decoded = ReferenceCharacter(text.substr(amp, semicolon + 1));
        if (decoded) {
            result.push_back(*decoded);
            i = amp + semicolon + 1;
        } else {
            result.push_back(u'&');
            i = amp + 1;
        }
    }
    result.append(text.substr(i));
    return result;
}

}  // namespace qf
