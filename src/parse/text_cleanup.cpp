// CDATA and markup removal, link absolutizing, file names and XML escaping.
#include "parse/text_cleanup.h"

#include <array>

#include "parse/wide_text.h"

namespace qf {
namespace {

constexpr std::u16string_view kCdataOpen = u"<![CDATA[";
constexpr std::u16string_view kCdataClose = u"]]>";

// Appends one blank to `result` in place of a removed piece, dropping the white space before it.
void AppendSeparator(std::u16string& result) {
    text::TrimRightInPlace(result);
    result.push_back(u' ');
}

std::u16string Trimmed(const std::u16string& text) { return std::u16string(text::Trim(text)); }

void ReplaceEach(std::u16string& text, std::u16string_view characters, char16_t replacement) {
    for (char16_t& c : text) {
        if (characters.find(c) != std::u16string_view::npos) c = replacement;
    }
}

}  // namespace

std::u16string StripCdata(std::u16string_view text) {
    std::u16string result;
    size_t pos = 0;
    for (size_t open = text.find(kCdataOpen); open != std::u16string_view::npos;
         open = text.find(kCdataOpen, pos)) {
        const size_t close = text.find(kCdataClose, open + kCdataOpen.size());
        if (close == std::u16string_view::npos) break;
        result.append(text, pos, open - pos);
        AppendSeparator(result);
        const size_t content_at = open + kCdataOpen.size();
        result.append(text::Trim(text.substr(content_at, close - content_at)));
        pos = close + kCdataClose.size();
    }
    result.append(text.substr(pos));
    return Trimmed(result);
}

std::u16string StripMarkup(std::u16string_view text) {
    const std::u16string plain = StripCdata(text);
    std::u16string result;
    size_t pos = 0;
    for (size_t open = plain.find(u'<'); open != std::u16string::npos; open = plain.find(u'<', pos)) {
        const size_t close = plain.find(u'>', open + 1);
        if (close == std::u16string::npos) break;
        result.append(plain, pos, open - pos);
        AppendSeparator(result);
        pos = close + 1;
    }
    result.append(plain, pos);
    result = Trimmed(result);
    ReplaceEach(result, u"\t", u' ');
    return result;
}

std::u16string AbsolutizeLinks(std::u16string_view html, std::u16string_view base_url) {
    size_t cut = base_url.rfind(u'/');
    if (cut == std::u16string_view::npos) cut = base_url.rfind(u'\\');
    const std::u16string_view base =
        cut == std::u16string_view::npos ? base_url : base_url.substr(0, cut + 1);

    std::u16string result(html);
    static constexpr std::array<std::u16string_view, 3> kAbsoluteStarts{u"http", u"ftp", u"#"};
    for (const auto& [attribute, quote] : std::array<std::pair<std::u16string_view, char16_t>, 4>{
             {{u"href", u'"'}, {u"src", u'"'}, {u"href", u'\''}, {u"src", u'\''}}}) {
        const std::u16string opening = std::u16string(attribute) + u'=' + quote;
        const std::u16string protected_opening = std::u16string(attribute) + u"~~";
        // Absolute and in-page targets are hidden while the remaining openings get the base.
        for (std::u16string_view start : kAbsoluteStarts) {
            text::ReplaceAll(result, opening + std::u16string(start),
                             protected_opening + std::u16string(start));
        }
        text::ReplaceAll(result, opening, opening + std::u16string(base));
        for (std::u16string_view start : kAbsoluteStarts) {
            text::ReplaceAll(result, protected_opening + std::u16string(start),
                             opening + std::u16string(start));
        }
    }
    return result;
}

std::u16string SanitizeFileName(std::u16string_view text) {
    std::u16string result(text);
    ReplaceEach(result, u"/\\:*?\"<>|", u'_');
    return result;
}

std::u16string EscapeXml(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'<':
                result += u"&lt;";
                break;
            case u'>':
                result += u"&gt;";
                break;
            case u'\'':
                result += u"&#039;";
                break;
            case u'"':
                result += u"&quot;";
                break;
            default:
                result.push_back(c);
        }
    }
    return result;
}

}  // namespace qf
