#include "shared/sql_text.h"

#include <windows.h>

namespace qf::sql {
namespace {

enum class TokenKind { kWord, kString, kQuotedName, kNumber, kPunct };

struct Token {
    TokenKind kind;
    size_t begin;
    size_t end;
};

bool IsWordStart(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c > 0x7f;
}
bool IsWordChar(char16_t c) { return IsWordStart(c) || (c >= u'0' && c <= u'9') || c == u'$'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// Skips blanks and comments from `pos`; answers the position of the next token (or the end).
size_t SkipBlanks(std::u16string_view text, size_t pos) {
    while (pos < text.size()) {
        if (IsSpace(text[pos])) {
            ++pos;
        } else if (text.substr(pos, 2) == u"--") {
            size_t eol = text.find(u'\n', pos);
            pos = eol == std::u16string_view::npos ? text.size() : eol + 1;
        } else if (text.substr(pos, 2) == u"/*") {
            size_t close = text.find(u"*/", pos + 2);
            pos = close == std::u16string_view::npos ? text.size() : close + 2;
        } else {
            break;
        }
    }
    return pos;
}

// The end of a quoted run starting at `pos` whose doubled closing quote stands for itself.
size_t QuotedEnd(std::u16string_view text, size_t pos, char16_t close) {
    size_t i = pos + 1;
    while (i < text.size()) {
        if (text[i] == close) {
            if (i + 1 < text.size() && text[i + 1] == close && close != u']') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

std::vector<Token> Tokenize(std::u16string_view text) {
    std::vector<Token> tokens;
    size_t pos = SkipBlanks(text, 0);
    while (pos < text.size()) {
        char16_t c = text[pos];
        Token token{TokenKind::kPunct, pos, pos + 1};
        if (c == u'\'') {
            token = {TokenKind::kString, pos, QuotedEnd(text, pos, u'\'')};
        } else if (c == u'"' || c == u'`') {
            token = {TokenKind::kQuotedName, pos, QuotedEnd(text, pos, c)};
        } else if (c == u'[') {
            token = {TokenKind::kQuotedName, pos, QuotedEnd(text, pos, u']')};
        } else if (IsWordStart(c)) {
            size_t end = pos + 1;
            while (end < text.size() && IsWordChar(text[end])) ++end;
            token = {TokenKind::kWord, pos, end};
        } else if (IsDigit(c) || (c == u'.' && pos + 1 < text.size() && IsDigit(text[pos + 1]))) {
            size_t end = pos + 1;
            while (end < text.size() && (IsWordChar(text[end]) || text[end] == u'.')) ++end;
            token = {TokenKind::kNumber, pos, end};
        }
        tokens.push_back(token);
        pos = SkipBlanks(text, token.end);
    }
    return tokens;
}

class Reader {
  public:
    explicit Reader(std::u16string_view text) : text_(text), tokens_(Tokenize(text)) {}

    bool AtEnd() {
        while (index_ < tokens_.size() && Text(tokens_[index_]) == u";") ++index_;
        return index_ == tokens_.size();
    }
    bool Keyword(std::u16string_view word) {
        if (index_ >= tokens_.size() || tokens_[index_].kind != TokenKind::kWord) return false;
        if (!EqualsNoCase(Text(tokens_[index_]), word)) return false;
        ++index_;
        return true;
    }
    bool Punct(char16_t c) {
        if (index_ >= tokens_.size() || tokens_[index_].kind != TokenKind::kPunct) return false;
        if (text_[tokens_[index_].begin] != c) return false;
        ++index_;
        return true;
    }
    // A plain or quoted identifier, unquoted.
    std::optional<std::u16string> Name() {
        if (index_ >= tokens_.size()) return std::nullopt;
        const Token& token = tokens_[index_];
        if (token.kind == TokenKind::kWord) {
            ++index_;
            return std::u16string(Text(token));
        }
        if (token.kind == TokenKind::kQuotedName) {
            ++index_;
            return Unquote(Text(token));
        }
        return std::nullopt;
    }
    std::optional<std::u16string> String() {
        if (index_ >= tokens_.size() || tokens_[index_].kind != TokenKind::kString) return std::nullopt;
        return Unquote(Text(tokens_[index_++]));
    }
    // One value token (with an optional sign in front of a number); nullopt for anything longer.
    std::optional<Token> Literal() {
        size_t start = index_;
        if (Punct(u'-') || Punct(u'+')) {
            if (index_ < tokens_.size() && tokens_[index_].kind == TokenKind::kNumber) {
                return Token{TokenKind::kNumber, tokens_[start].begin, tokens_[index_++].end};
            }
            index_ = start;
            return std::nullopt;
        }
        if (index_ >= tokens_.size() || tokens_[index_].kind == TokenKind::kPunct) return std::nullopt;
        return tokens_[index_++];
    }
    std::u16string_view Text(const Token& token) const {
        return text_.substr(token.begin, token.end - token.begin);
    }
    const std::vector<Token>& tokens() const { return tokens_; }
    size_t position() const { return index_; }

    static std::u16string Unquote(std::u16string_view quoted) {
        if (quoted.size() < 2) return std::u16string();
        char16_t close = quoted.front() == u'[' ? u']' : quoted.front();
        std::u16string inner;
        for (size_t i = 1; i + 1 < quoted.size(); ++i) {
            inner.push_back(quoted[i]);
            if (quoted[i] == close && close != u']' && i + 2 < quoted.size() && quoted[i + 1] == close) ++i;
        }
        return inner;
    }

  private:
    std::u16string_view text_;
    std::vector<Token> tokens_;
    size_t index_ = 0;
};

std::optional<Statement> ReadCreateDatabase(Reader& reader) {
    if (!reader.Keyword(u"CREATE") || !reader.Keyword(u"DATABASE")) return std::nullopt;
    auto path = reader.String();
    if (!path || !reader.AtEnd()) return std::nullopt;
    return CreateDatabase{*path};
}

std::optional<Statement> ReadMoveColumn(Reader& reader) {
    if (!reader.Keyword(u"ALTER") || !reader.Keyword(u"TABLE")) return std::nullopt;
    auto table = reader.Name();
    if (!table || !reader.Keyword(u"MOVE")) return std::nullopt;
    auto column = reader.Name();
    if (!column || !reader.Keyword(u"BEFORE")) return std::nullopt;
    auto before = reader.Name();
    if (!before || !reader.AtEnd()) return std::nullopt;
    return MoveColumn{*table, *column, *before};
}

}  // namespace

Statement Classify(std::u16string_view text) {
    Reader create(text);
    if (auto statement = ReadCreateDatabase(create)) return *statement;
    Reader move(text);
    if (auto statement = ReadMoveColumn(move)) return *statement;
    return Plain{};
}

bool IsBlank(std::u16string_view text) {
    for (const Token& token : Tokenize(text)) {
        if (token.kind != TokenKind::kPunct || text[token.begin] != u';') return false;
    }
    return true;
}

bool IsDateType(std::u16string_view declared_type) {
    return EqualsNoCase(declared_type, u"datetime") || EqualsNoCase(declared_type, u"date") ||
           EqualsNoCase(declared_type, u"timestamp");
}

std::u16string RewriteInsertDates(
    std::u16string_view text, const ColumnTypeLookup& column_type,
    const std::function<std::optional<std::u16string>(std::u16string_view)>& format) {
    Reader reader(text);
    if (!reader.Keyword(u"INSERT") || !reader.Keyword(u"INTO")) return std::u16string(text);
    auto table = reader.Name();
    if (!table || !reader.Punct(u'(')) return std::u16string(text);
    std::vector<std::u16string> columns;
    do {
        auto column = reader.Name();
        if (!column) return std::u16string(text);
        columns.push_back(*column);
    } while (reader.Punct(u','));
    if (!reader.Punct(u')') || !reader.Keyword(u"VALUES") || !reader.Punct(u'(')) return std::u16string(text);
    std::vector<Token> values;
    do {
        auto value = reader.Literal();
        if (!value) return std::u16string(text);
        values.push_back(*value);
    } while (reader.Punct(u','));
    if (!reader.Punct(u')') || !reader.AtEnd() || values.size() != columns.size())
        return std::u16string(text);

    std::u16string result;
    size_t copied = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const Token& value = values[i];
        if (value.kind != TokenKind::kString) continue;
        auto type = column_type(*table, columns[i]);
        if (!type || !IsDateType(*type)) continue;
        std::u16string_view literal = text.substr(value.begin + 1, value.end - value.begin - 2);
        auto canonical = format(literal);
        if (!canonical) continue;
        result.append(text.substr(copied, value.begin - copied));
        result.append(Quote(*canonical));
        copied = value.end;
    }
    result.append(text.substr(copied));
    return result;
}

std::optional<std::u16string> WithRowId(std::u16string_view text) {
    Reader reader(text);
    if (!reader.Keyword(u"SELECT") || reader.Keyword(u"DISTINCT")) return std::nullopt;
    size_t insert_at = reader.tokens().front().end;
    std::u16string result(text.substr(0, insert_at));
    result.append(u" _rowid_,");
    result.append(text.substr(insert_at));
    return result;
}

std::optional<std::vector<ColumnDefinition>> ColumnDefinitions(std::u16string_view create_table) {
    Reader reader(create_table);
    if (!reader.Keyword(u"CREATE") || !reader.Keyword(u"TABLE") || !reader.Name() || !reader.Punct(u'(')) {
        return std::nullopt;
    }
    std::vector<ColumnDefinition> columns;
    const std::vector<Token>& tokens = reader.tokens();
    size_t index = reader.position();
    while (index < tokens.size()) {
        size_t first = index;
        int depth = 0;
        for (; index < tokens.size(); ++index) {
            char16_t c = tokens[index].kind == TokenKind::kPunct ? create_table[tokens[index].begin] : 0;
            if (c == u'(') ++depth;
            if (depth == 0 && (c == u',' || c == u')')) break;
            if (c == u')') --depth;
        }
        if (index == tokens.size() || first == index) return std::nullopt;
        // The first token names the column; a table constraint starts with a keyword instead.
        const Token& name_token = tokens[first];
        std::u16string_view first_text =
            create_table.substr(name_token.begin, name_token.end - name_token.begin);
        if (name_token.kind == TokenKind::kWord) {
            for (std::u16string_view keyword : {u"CONSTRAINT", u"PRIMARY", u"UNIQUE", u"CHECK", u"FOREIGN"}) {
                if (EqualsNoCase(first_text, keyword)) return std::nullopt;
            }
        } else if (name_token.kind != TokenKind::kQuotedName) {
            return std::nullopt;
        }
        std::u16string name =
            name_token.kind == TokenKind::kWord ? std::u16string(first_text) : Reader::Unquote(first_text);
        size_t end = tokens[index - 1].end;
        columns.push_back(
            {name, std::u16string(create_table.substr(tokens[first].begin, end - tokens[first].begin))});
        bool closing = create_table[tokens[index].begin] == u')';
        ++index;
        if (closing) return columns;
    }
    return std::nullopt;
}

std::u16string Quote(std::u16string_view value) {
    std::u16string quoted(1, u'\'');
    for (char16_t c : value) {
        quoted.push_back(c);
        if (c == u'\'') quoted.push_back(u'\'');
    }
    quoted.push_back(u'\'');
    return quoted;
}

std::string QuoteName(std::u16string_view name) {
    std::string quoted = "\"";
    for (char c : qf::WideToUtf8(name)) {
        quoted.push_back(c);
        if (c == '"') quoted.push_back('"');
    }
    return quoted + "\"";
}

}  // namespace qf::sql
