#include "db/tsqllexer.h"

namespace orvane::db {

bool TsqlToken::isWord(const char* word) const
{
    return kind == Kind::Identifier && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$' || c == u'@';
}

QString describeAt(const QString& text, qsizetype pos)
{
    return QStringLiteral("at position %1").arg(pos + 1) +
           (pos < text.size() ? QStringLiteral(" (near '%1')").arg(text.mid(pos, 12)) : QString());
}

} // namespace

bool TsqlLexer::tokenize(const QString& text, QList<TsqlToken>& tokens, QString& error)
{
    tokens.clear();
    tokens.reserve(text.size() / 3 + 4);
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto push = [&](TsqlToken::Kind kind, QString value, qsizetype start, bool national = false) {
        TsqlToken t;
        t.kind = kind;
        t.text = std::move(value);
        t.position = start;
        t.national = national;
        tokens.append(std::move(t));
    };
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (c == u'-' && i + 1 < n && text.at(i + 1) == u'-') {
            while (i < n && text.at(i) != u'\n')
                ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && text.at(i + 1) == u'*') {
            // T-SQL block comments nest.
            int depth = 0;
            while (i < n) {
                if (text.at(i) == u'/' && i + 1 < n && text.at(i + 1) == u'*') {
                    ++depth;
                    i += 2;
                } else if (text.at(i) == u'*' && i + 1 < n && text.at(i + 1) == u'/') {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            if (depth != 0) {
                error = QStringLiteral("unterminated comment ") + describeAt(text, start);
                return false;
            }
            continue;
        }
        const bool national = (c == u'N' || c == u'n') && i + 1 < n && text.at(i + 1) == u'\'';
        if (c == u'\'' || national) {
            i += national ? 2 : 1;
            QString value;
            bool closed = false;
            while (i < n) {
                if (text.at(i) == u'\'') {
                    if (i + 1 < n && text.at(i + 1) == u'\'') {
                        value += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed) {
                error = QStringLiteral("unterminated string literal ") + describeAt(text, start);
                return false;
            }
            push(TsqlToken::Kind::String, value, start, national);
            continue;
        }
        if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            ++i;
            QString value;
            bool closed = false;
            while (i < n) {
                if (text.at(i) == close) {
                    if (i + 1 < n && text.at(i + 1) == close) {
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed) {
                error = QStringLiteral("unterminated quoted name ") + describeAt(text, start);
                return false;
            }
            if (value.isEmpty()) {
                error = QStringLiteral("empty quoted name ") + describeAt(text, start);
                return false;
            }
            push(TsqlToken::Kind::QuotedIdentifier, value, start);
            continue;
        }
        if (c.isDigit() || (c == u'.' && i + 1 < n && text.at(i + 1).isDigit())) {
            while (i < n && text.at(i).isDigit())
                ++i;
            if (i < n && text.at(i) == u'.') {
                ++i;
                while (i < n && text.at(i).isDigit())
                    ++i;
            }
            if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
                    ++j;
                if (j < n && text.at(j).isDigit()) {
                    i = j;
                    while (i < n && text.at(i).isDigit())
                        ++i;
                }
            }
            if (i < n && isNameStart(text.at(i)) && text.at(i) != u'#') {
                error = QStringLiteral("malformed number ") + describeAt(text, start);
                return false;
            }
            push(TsqlToken::Kind::Number, text.mid(start, i - start), start);
            continue;
        }
        if (c == u'@') {
            ++i;
            if (i < n && text.at(i) == u'@')
                ++i;
            while (i < n && isNamePart(text.at(i)))
                ++i;
            if (i - start < 2 || text.mid(start, i - start) == QLatin1String("@@")) {
                error = QStringLiteral("malformed variable name ") + describeAt(text, start);
                return false;
            }
            push(TsqlToken::Kind::Variable, text.mid(start, i - start), start);
            continue;
        }
        if (isNameStart(c)) {
            while (i < n && isNamePart(text.at(i)))
                ++i;
            push(TsqlToken::Kind::Identifier, text.mid(start, i - start), start);
            continue;
        }
        static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>", "||"};
        bool matched = false;
        for (const char* op : twoChar) {
            if (i + 1 < n && text.at(i) == QLatin1Char(op[0]) &&
                text.at(i + 1) == QLatin1Char(op[1])) {
                push(TsqlToken::Kind::Operator, QString::fromLatin1(op), start);
                i += 2;
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (QStringView(u"(),.;=<>+-*/%&|^~").contains(c)) {
            push(TsqlToken::Kind::Operator, QString(c), start);
            ++i;
            continue;
        }
        error = QStringLiteral("unexpected character '%1' ").arg(c) + describeAt(text, start);
        return false;
    }
    push(TsqlToken::Kind::End, QString(), n);
    return true;
}

} // namespace orvane::db
