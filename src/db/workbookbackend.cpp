#include "db/workbookbackend.h"

#include "db/cadodatabase.h"
#include "db/valuetext.h"

#include "platform/workbookreader.h"

#include <QDateTime>
#include <QSet>

namespace orvane::db {

namespace {

// Skips white space from `i`; returns the new position.
qsizetype skipSpace(const QString& s, qsizetype i)
{
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    return i;
}

// Matches a keyword (any case) followed by white space or, for '*', anything.
bool takeWord(const QString& s, qsizetype* i, QLatin1String word)
{
    if (s.mid(*i, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype end = *i + word.size();
    if (end < s.size() && !s.at(end).isSpace() && word != QLatin1String("*"))
        return false;
    *i = skipSpace(s, end);
    return true;
}

QString textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return valuetext::formatDouble(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}

// The type of a column from its data cells: one kind throughout, or text.
int columnType(const QList<QVariantList>& rows, qsizetype firstRow, qsizetype column)
{
    int type = -1;
    for (qsizetype r = firstRow; r < rows.size(); ++r) {
        const QVariant& v = rows.at(r).at(column);
        if (!v.isValid())
            continue;
        int t = adVarWChar;
        if (v.typeId() == QMetaType::Double)
            t = adDouble;
        else if (v.typeId() == QMetaType::QDateTime)
            t = adDate;
        else if (v.typeId() == QMetaType::Bool)
            t = adBoolean;
        if (type >= 0 && t != type)
            return adVarWChar;
        type = t;
    }
    return type < 0 ? adVarWChar : type;
}

} // namespace

WorkbookBackend::WorkbookBackend() = default;

WorkbookBackend::~WorkbookBackend() = default;

bool WorkbookBackend::open(const ConnectionString& connection, bool create)
{
    Q_UNUSED(create); // a workbook is read here, never created
    close();
    clearError();
    // "Excel 8.0;HDR=NO": the first row is data, not titles.
    const QString properties = connection.value(QStringLiteral("Extended Properties"));
    m_firstRowHasNames = true;
    for (const QString& part : properties.split(u';', Qt::SkipEmptyParts)) {
        const QString item = part.simplified().remove(u' ');
        if (item.compare(QLatin1String("HDR=NO"), Qt::CaseInsensitive) == 0)
            m_firstRowHasNames = false;
    }
    auto reader = std::make_unique<platform::WorkbookReader>();
    if (!reader->open(connection.location())) {
        setError(kErrorConnection, reader->errorString());
        return false;
    }
    m_reader = std::move(reader);
    return true;
}

void WorkbookBackend::close()
{
    m_reader.reset();
}

bool WorkbookBackend::isOpen() const
{
    return m_reader != nullptr;
}

QStringList WorkbookBackend::sheetNames() const
{
    return m_reader ? m_reader->sheetNames() : QStringList();
}

QString WorkbookBackend::sheetOfQuery(const QString& sql)
{
    QString s = sql.trimmed();
    while (s.endsWith(u';'))
        s = s.chopped(1).trimmed();
    qsizetype i = 0;
    if (!takeWord(s, &i, QLatin1String("SELECT")) || !takeWord(s, &i, QLatin1String("*")) ||
        !takeWord(s, &i, QLatin1String("FROM")) || i >= s.size())
        return {};

    QString name;
    const QChar open = s.at(i);
    if (open == u'[' || open == u'`' || open == u'\'' || open == u'"') {
        const QChar close = open == u'[' ? QChar(u']') : open;
        for (++i; i < s.size(); ++i) {
            if (s.at(i) == close) {
                if (i + 1 < s.size() && s.at(i + 1) == close) { // doubled: one literal
                    name += close;
                    ++i;
                    continue;
                }
                break;
            }
            name += s.at(i);
        }
        if (i >= s.size())
            return {}; // unterminated
        ++i;
    } else {
        while (i < s.size() && !s.at(i).isSpace())
            name += s.at(i++);
    }
    if (skipSpace(s, i) != s.size())
        return {}; // WHERE, ORDER BY, joins: not supported on a workbook
    return name;
}

bool WorkbookBackend::query(const QString& sql, ResultSet& result, bool updatable)
{
    Q_UNUSED(updatable); // sheet rows are never written back
    clearError();
    result = ResultSet();
    if (!m_reader) {
        setError(kErrorClosed, QStringLiteral("工作簿未打开"));
        return false;
    }
    const QString table = sheetOfQuery(sql);
    if (table.isEmpty())
        return refuse(QStringLiteral("Excel 工作簿只支持 SELECT * FROM [工作表]：%1").arg(sql));
    int index = m_reader->sheetIndex(table);
    if (index < 0 && table.endsWith(u'$'))
        index = m_reader->sheetIndex(table.chopped(1));
    if (index < 0) {
        setError(kErrorCommandText, QStringLiteral("工作簿中没有工作表“%1”").arg(table));
        return false;
    }
    QList<QVariantList> rows;
    if (!m_reader->readSheet(index, &rows)) {
        setError(kErrorUnspecified, m_reader->errorString());
        return false;
    }

    const qsizetype width = rows.isEmpty() ? 1 : rows.first().size();
    const qsizetype firstData = m_firstRowHasNames && !rows.isEmpty() ? 1 : 0;
    QSet<QString> used;
    QStringList names;
    for (qsizetype c = 0; c < width; ++c) {
        QString name;
        if (firstData == 1)
            name = textOf(rows.first().at(c)).trimmed();
        if (name.isEmpty() || used.contains(name.toLower()))
            name = QStringLiteral("F%1").arg(c + 1);
        while (used.contains(name.toLower()))
            name += u'_';
        used.insert(name.toLower());
        names.append(name);
    }
    QList<int> types;
    for (qsizetype c = 0; c < width; ++c) {
        const int type = rows.isEmpty() ? adVarWChar : columnType(rows, firstData, c);
        types.append(type);
        result.addColumn(names.at(c), type);
        ColumnInfo& info = result.columns.back();
        info.definedSize = type == adVarWChar ? 255 : (type == adBoolean ? 2 : 8);
        info.attributes = adFldMayBeNull | adFldIsNullable;
    }
    result.reserveRows(int(rows.size() - firstData));
    for (qsizetype r = firstData; r < rows.size(); ++r) {
        QVariantList& row = rows[r];
        for (qsizetype c = 0; c < width; ++c) {
            if (types.at(c) == adVarWChar && row.at(c).isValid())
                row[c] = textOf(row.at(c));
        }
        result.appendRow(row);
        row.clear(); // the sheet's copy is not needed any more
    }
    return true;
}

bool WorkbookBackend::refuse(const QString& what)
{
    setError(kErrorCommandText, what);
    return false;
}

bool WorkbookBackend::execute(const QString& sql, qint64* affected)
{
    if (affected)
        *affected = -1;
    clearError();
    return refuse(QStringLiteral("Excel 工作簿以只读方式打开，不能执行：%1").arg(sql));
}

bool WorkbookBackend::beginTransaction()
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::commitTransaction()
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::rollbackTransaction()
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::savepoint(const QString&)
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::releaseSavepoint(const QString&)
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::rollbackToSavepoint(const QString&)
{
    return refuse(QStringLiteral("Excel 工作簿不支持事务"));
}

bool WorkbookBackend::updateRow(const QString&, const QStringList&, const QVariantList&,
                                const QStringList&, const QVariantList&)
{
    return refuse(QStringLiteral("Excel 工作簿以只读方式打开，不能修改数据"));
}

bool WorkbookBackend::insertRow(const QString&, const QStringList&, const QVariantList&,
                                const QStringList&, QVariantList*)
{
    return refuse(QStringLiteral("Excel 工作簿以只读方式打开，不能添加数据"));
}

bool WorkbookBackend::fetchRow(const QString&, const QStringList&, const QVariantList&,
                               const QStringList&, QVariantList&)
{
    return refuse(QStringLiteral("Excel 工作簿的数据行不能按键读取"));
}

std::unique_ptr<Backend> createWorkbookBackend()
{
    return std::make_unique<WorkbookBackend>();
}

QStringList workbookSheetNames(const CADODatabase& database)
{
    const auto* workbook = dynamic_cast<const WorkbookBackend*>(database.backend());
    return workbook ? workbook->sheetNames() : QStringList();
}

} // namespace orvane::db
