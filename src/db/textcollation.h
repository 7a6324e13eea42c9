#pragma once

#include <QString>

struct sqlite3;

namespace orvane::db {

// Text comparison as SQL Server's Chinese_PRC_CI_AS collation: trailing blanks do not count,
// case (of every letter) and width (full-width ＨＲ, half-width HR) are ignored, accents are
// not, and Chinese sorts in pinyin order. Installed on a SQLite connection as the NOCASE
// collation (every text column of ours is declared COLLATE NOCASE), together with T-SQL's LIKE
// ([a-c], [^x], [%] classes) and UPPER/LOWER for all letters.
class TextCollation
{
public:
    // Registers the collation and functions on `db`; false when ICU has no Chinese collator.
    static bool install(sqlite3* db);
    // Indexes built with another NOCASE (an older version, another tool) are rebuilt once.
    static bool reindexIfNeeded(sqlite3* db);

    // <0, 0 or >0 as `a` sorts before, equal to or after `b` (UTF-8 input).
    static int compare(const char* a, int aLength, const char* b, int bLength);
    // T-SQL LIKE: `pattern` against `text`; `escape` is the ESCAPE character or null.
    static bool like(const QString& pattern, const QString& text, QChar escape = QChar());
    // The text with case and width folded away, as LIKE compares.
    static QString folded(const QString& text);
};

} // namespace orvane::db
