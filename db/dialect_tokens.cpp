#include "db/dialect_tokens.h"

#include <QRegularExpression>
#include <utility>

namespace vx::db::dialect_detail {
namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

} // namespace

Tokens tokenize(const QString& s) {
    Tokens out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        Tok kind = Tok::Punct;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace())
                ++j;
            kind = Tok::Space;
        } else if (c == u'-' && j < n && s[j] == u'-') {
            while (j < n && s[j] != u'\n')
                ++j;
            kind = Tok::Space;
        } else if (c == u'/' && j < n && s[j] == u'*') {
            const qsizetype end = s.indexOf(QLatin1String("*/"), j + 1);
            j = end < 0 ? n : end + 2;
            kind = Tok::Space;
        } else if (c == u'\'') {
            for (;;) {
                const qsizetype end = s.indexOf(u'\'', j);
                if (end < 0) {
                    j = n;
                    break;
                }
                j = end + 1;
                if (j < n && s[j] == u'\'') {
                    ++j; // an escaped quote: the literal goes on
                    continue;
                }
                break;
            }
            kind = Tok::Literal;
        } else if (c == u'"' || c == u'[') {
            const qsizetype end = s.indexOf(c == u'"' ? u'"' : u']', j);
            j = end < 0 ? n : end + 1;
            kind = Tok::Quoted;
        } else if (isWordChar(c)) {
            while (j < n && isWordChar(s[j]))
                ++j;
            kind = Tok::Word;
        }
        out.push_back({kind, s.mid(i, j - i)});
        i = j;
    }
    return out;
}

QString join(const Tokens& t, std::size_t from, std::size_t to) {
    QString out;
    for (std::size_t i = from; i < to && i < t.size(); ++i)
        out += t[i].text;
    return out;
}

bool is(const Tokens& t, std::size_t i, QLatin1String word) {
    return i < t.size() && t[i].kind == Tok::Word &&
           t[i].text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isPunct(const Tokens& t, std::size_t i, char16_t c) {
    return i < t.size() && t[i].kind == Tok::Punct && t[i].text[0] == c;
}

bool isName(const Tokens& t, std::size_t i) {
    return i < t.size() && (t[i].kind == Tok::Word || t[i].kind == Tok::Quoted);
}

bool isNumber(const Tokens& t, std::size_t i) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return i < t.size() && t[i].kind == Tok::Word && digits.match(t[i].text).hasMatch();
}

std::size_t next(const Tokens& t, std::size_t i) {
    ++i;
    while (i < t.size() && t[i].kind == Tok::Space)
        ++i;
    return i;
}

std::size_t first(const Tokens& t) {
    return t.empty() || t[0].kind != Tok::Space ? 0 : next(t, 0);
}

void erase(Tokens& t, std::size_t from, std::size_t to) {
    t.erase(t.begin() + static_cast<std::ptrdiff_t>(from),
            t.begin() + static_cast<std::ptrdiff_t>(to));
}

void insert(Tokens& t, std::size_t at, Token token) {
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(at), std::move(token));
}

std::size_t previous(const Tokens& t, std::size_t i) {
    while (i > 0) {
        if (t[--i].kind != Tok::Space)
            return i;
    }
    return npos;
}

std::size_t statementEnd(const Tokens& t, std::size_t from) {
    std::size_t to = from;
    for (int depth = 0; to < t.size() && !(depth == 0 && isPunct(t, to, u';')); ++to) {
        if (isPunct(t, to, u'('))
            ++depth;
        else if (isPunct(t, to, u')'))
            --depth;
    }
    return to;
}

} // namespace vx::db::dialect_detail
