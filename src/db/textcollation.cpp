#include "db/textcollation.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <mutex>

namespace orvane::db {

namespace {

// Marks a database whose NOCASE indexes were built with this collation.
constexpr int kCollationMark = 0x4F524331; // "ORC1"

UCollator* chineseCollator()
{
    static UCollator* collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("zh", &status);
        if (U_FAILURE(status))
            return static_cast<UCollator*>(nullptr);
        // Secondary strength: accents count, case and width do not.
        ucol_setStrength(c, UCOL_SECONDARY);
        // Latin letters and digits before Chinese, as SQL Server's Chinese collations sort.
        const int32_t none = UCOL_REORDER_CODE_NONE;
        ucol_setReorderCodes(c, &none, 1, &status);
        return c;
    }();
    return collator;
}

std::mutex& collatorMutex()
{
    static std::mutex mutex;
    return mutex;
}

int trimmedLength(const char* s, int n)
{
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return n;
}

int collationCallback(void*, int aLength, const void* a, int bLength, const void* b)
{
    return TextCollation::compare(static_cast<const char*>(a), aLength, static_cast<const char*>(b),
                                  bLength);
}

QString valueText(sqlite3_value* v)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(v)) : QString();
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    // like(pattern, text [, escape]) implements "text LIKE pattern".
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    QChar escape;
    if (argc > 2) {
        const QString e = valueText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    sqlite3_result_int(ctx,
                       TextCollation::like(valueText(argv[0]), valueText(argv[1]), escape) ? 1 : 0);
}

void caseFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString text = valueText(argv[0]);
    const QByteArray out = (sqlite3_user_data(ctx) ? text.toUpper() : text.toLower()).toUtf8();
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

// One character of a LIKE pattern class such as [a-c] or [^0-9]; `i` is just past the '['.
bool matchClass(const QString& p, qsizetype& i, QChar c, bool* matched)
{
    bool negate = false;
    if (i < p.size() && p.at(i) == u'^') {
        negate = true;
        ++i;
    }
    bool in = false;
    bool first = true;
    while (i < p.size() && (p.at(i) != u']' || first)) {
        const QChar lo = p.at(i);
        if (i + 2 < p.size() && p.at(i + 1) == u'-' && p.at(i + 2) != u']') {
            const QChar hi = p.at(i + 2);
            in = in || (c >= lo && c <= hi);
            i += 3;
        } else {
            in = in || c == lo;
            ++i;
        }
        first = false;
    }
    if (i >= p.size())
        return false; // no closing bracket: the '[' is an ordinary character
    ++i;              // ']'
    *matched = in != negate;
    return true;
}

} // namespace

int TextCollation::compare(const char* a, int aLength, const char* b, int bLength)
{
    aLength = trimmedLength(a, aLength);
    bLength = trimmedLength(b, bLength);
    if (aLength == bLength && memcmp(a, b, size_t(aLength)) == 0)
        return 0;
    UCollator* collator = chineseCollator();
    if (!collator) {
        const int n = std::min(aLength, bLength);
        const int r = sqlite3_strnicmp(a, b, n);
        return r != 0 ? r : aLength - bLength;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::lock_guard lock(collatorMutex());
    return int(ucol_strcollUTF8(collator, a, aLength, b, bLength, &status));
}

QString TextCollation::folded(const QString& text)
{
    QString out = text.toCaseFolded();
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000)
            c = QChar(u' ');
    }
    return out.toCaseFolded();
}

bool TextCollation::like(const QString& patternIn, const QString& textIn, QChar escape)
{
    const QString p = folded(patternIn);
    const QString t = folded(textIn);
    const QChar esc = escape.isNull() ? QChar() : folded(QString(escape)).at(0);
    // Iterative matching with one backtrack point per '%', as for wildcards generally.
    qsizetype pi = 0, ti = 0;
    qsizetype starP = -1, starT = 0;
    while (ti < t.size()) {
        bool advanced = false;
        if (pi < p.size()) {
            const QChar pc = p.at(pi);
            if (!esc.isNull() && pc == esc && pi + 1 < p.size()) {
                if (p.at(pi + 1) == t.at(ti)) {
                    pi += 2;
                    ++ti;
                    advanced = true;
                }
            } else if (pc == u'%') {
                starP = ++pi;
                starT = ti;
                continue;
            } else if (pc == u'_') {
                ++pi;
                ++ti;
                advanced = true;
            } else if (pc == u'[') {
                qsizetype next = pi + 1;
                bool matched = false;
                if (matchClass(p, next, t.at(ti), &matched)) {
                    if (matched) {
                        pi = next;
                        ++ti;
                        advanced = true;
                    }
                } else if (t.at(ti) == pc) {
                    ++pi;
                    ++ti;
                    advanced = true;
                }
            } else if (pc == t.at(ti)) {
                ++pi;
                ++ti;
                advanced = true;
            }
        }
        if (advanced)
            continue;
        if (starP < 0)
            return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < p.size() && p.at(pi) == u'%')
        ++pi;
    return pi == p.size();
}

bool TextCollation::install(sqlite3* db)
{
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, collationCallback, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    static int upper = 1;
    sqlite3_create_function_v2(db, "upper", 1, flags, &upper, caseFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "lower", 1, flags, nullptr, caseFunction, nullptr, nullptr,
                               nullptr);
    return chineseCollator() != nullptr;
}

bool TextCollation::reindexIfNeeded(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    int mark = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        mark = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    if (mark == kCollationMark || sqlite3_db_readonly(db, "main") == 1)
        return true;
    const QByteArray sql =
        QStringLiteral("REINDEX NOCASE; PRAGMA application_id=%1").arg(kCollationMark).toUtf8();
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace orvane::db
