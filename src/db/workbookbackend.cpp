#include "db/workbookbackend.h"

#include "db/cadodatabase.h"
#include "db/valuetext.h"

#include "db/tsqllexer.h"

#include "platform/workbookreader.h"
#include "platform/xlsxwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
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
    Q_UNUSED(create); // a missing workbook is always a new one, as with the Jet provider
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
    m_path = connection.location();
    if (!QFileInfo::exists(m_path)) {
        if (m_path.isEmpty() || !QFileInfo(m_path).absoluteDir().exists()) {
            setError(kErrorConnection, QStringLiteral("无法创建工作簿“%1”").arg(m_path));
            return false;
        }
        m_open = true; // a new workbook, made by CREATE TABLE
        return true;
    }
    auto reader = std::make_unique<platform::WorkbookReader>();
    if (!reader->open(m_path)) {
        setError(kErrorConnection, reader->errorString());
        return false;
    }
    m_reader = std::move(reader);
    m_open = true;
    return true;
}

void WorkbookBackend::close()
{
    if (m_dirty)
        writeNewWorkbook();
    m_reader.reset();
    m_created.reset();
    m_dirty = false;
    m_open = false;
}

bool WorkbookBackend::isOpen() const
{
    return m_open;
}

qsizetype WorkbookBackend::columnOf(const NewSheet& sheet, const QString& column)
{
    for (qsizetype c = 0; c < sheet.columns.size(); ++c) {
        if (sheet.columns.at(c).compare(column, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

WorkbookBackend::NewSheet* WorkbookBackend::newSheet(const QString& table)
{
    QString name = table;
    if (name.endsWith(u'$'))
        name.chop(1);
    return m_created && m_created->name.compare(name, Qt::CaseInsensitive) == 0 ? m_created.get()
                                                                                : nullptr;
}

bool WorkbookBackend::writeNewWorkbook()
{
    using platform::XlsxWriter;
    QList<XlsxWriter::ColumnType> types;
    for (int t : m_created->adoTypes) {
        types << (t == adDate      ? XlsxWriter::ColumnType::DateTime
                  : t == adBoolean ? XlsxWriter::ColumnType::Boolean
                  : t == adDouble  ? XlsxWriter::ColumnType::Number
                                   : XlsxWriter::ColumnType::Text);
    }
    XlsxWriter writer;
    bool ok = writer.open(m_path, m_created->name, m_created->columns, types);
    for (qsizetype r = 0; ok && r < m_created->rows.size(); ++r)
        ok = writer.writeRow(m_created->rows.at(r));
    if (!ok || !writer.commit()) {
        setError(kErrorUnspecified, writer.errorString());
        return false;
    }
    m_dirty = false;
    return true;
}

// CREATE TABLE name (column TYPE, ...) with Jet's types TEXT, DATETIME, LOGICAL and NUMBER
// (and their relatives: MEMO and CHAR are text, DATE a date, BIT and YESNO logical).
bool WorkbookBackend::createSheet(const QString& sql)
{
    if (m_reader || m_created)
        return refuse(QStringLiteral("只能在新建的工作簿中创建一个工作表：%1").arg(sql));
    QList<TsqlToken> tokens;
    QString error;
    if (!TsqlLexer::tokenize(sql, tokens, error))
        return refuse(error);
    qsizetype i = 2; // CREATE TABLE
    auto name = [&](const TsqlToken& t) {
        return t.kind == TsqlToken::Kind::Identifier || t.kind == TsqlToken::Kind::QuotedIdentifier;
    };
    auto sheet = std::make_unique<NewSheet>();
    if (i >= tokens.size() || !name(tokens.at(i)))
        return refuse(QStringLiteral("缺少工作表名称：%1").arg(sql));
    sheet->name = tokens.at(i++).text;
    if (!tokens.value(i).isOperator("("))
        return refuse(QStringLiteral("缺少列定义：%1").arg(sql));
    ++i;
    for (;;) {
        QStringList words;
        while (i < tokens.size() && name(tokens.at(i)))
            words << tokens.at(i++).text;
        if (words.size() < 2)
            return refuse(QStringLiteral("列定义应为“列名 类型”：%1").arg(sql));
        const QString type = words.takeLast().toUpper();
        const QString column = words.join(u' ');
        if (sheet->columns.contains(column, Qt::CaseInsensitive))
            return refuse(QStringLiteral("列名重复：%1").arg(column));
        sheet->columns << column;
        sheet->adoTypes << (type == u"DATETIME" || type == u"DATE"                     ? adDate
                            : type == u"LOGICAL" || type == u"BIT" || type == u"YESNO" ? adBoolean
                            : type == u"TEXT" || type == u"MEMO" ||
                                    type.contains(QLatin1String("CHAR"))
                                ? adVarWChar
                                : adDouble);
        if (tokens.value(i).isOperator(",")) {
            ++i;
            continue;
        }
        if (tokens.value(i).isOperator(")") && tokens.value(i + 1).kind == TsqlToken::Kind::End)
            break;
        return refuse(QStringLiteral("列定义有误：%1").arg(sql));
    }
    m_created = std::move(sheet);
    // The workbook exists from here on, with its title row, as with the Jet provider.
    if (!writeNewWorkbook()) {
        const BackendError failed = lastError();
        m_created.reset();
        setError(failed.code, failed.description);
        return false;
    }
    return true;
}

// INSERT INTO name [(columns)] VALUES (value, ...): texts, numbers and NULL.
bool WorkbookBackend::insertValues(const QString& sql, qint64* affected)
{
    QList<TsqlToken> tokens;
    QString error;
    if (!TsqlLexer::tokenize(sql, tokens, error))
        return refuse(error);
    qsizetype i = 1;
    if (tokens.value(i).isWord("INTO"))
        ++i;
    NewSheet* sheet = newSheet(tokens.value(i).text);
    if (!sheet)
        return refuse(QStringLiteral("只能向新建的工作表添加数据：%1").arg(sql));
    ++i;
    QStringList columns;
    if (tokens.value(i).isOperator("(")) {
        for (++i; i < tokens.size() && !tokens.at(i).isOperator(")"); ++i) {
            if (!tokens.at(i).isOperator(","))
                columns << tokens.at(i).text;
        }
        ++i;
    } else {
        columns = sheet->columns;
    }
    if (!tokens.value(i++).isWord("VALUES") || !tokens.value(i++).isOperator("("))
        return refuse(QStringLiteral("应为 VALUES (...)：%1").arg(sql));
    QVariantList values;
    while (i < tokens.size() && !tokens.at(i).isOperator(")")) {
        bool negative = false;
        if (tokens.at(i).isOperator("-")) {
            negative = true;
            ++i;
        }
        const TsqlToken& t = tokens.value(i++);
        if (t.kind == TsqlToken::Kind::Number)
            values << (negative ? -t.text.toDouble() : t.text.toDouble());
        else if (t.kind == TsqlToken::Kind::String && !negative)
            values << t.text;
        else if (t.isWord("NULL") && !negative)
            values << QVariant();
        else
            return refuse(QStringLiteral("只支持文本、数字和 NULL 值：%1").arg(sql));
        if (tokens.value(i).isOperator(","))
            ++i;
    }
    if (!tokens.value(i).isOperator(")") || tokens.value(i + 1).kind != TsqlToken::Kind::End ||
        values.size() != columns.size())
        return refuse(QStringLiteral("列数与值的个数不一致：%1").arg(sql));
    QVariantList key;
    if (!insertRow(sheet->name, columns, values, {}, &key))
        return false;
    if (affected)
        *affected = 1;
    return true;
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
    Q_UNUSED(updatable); // only the sheet of a new workbook takes rows
    clearError();
    result = ResultSet();
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("工作簿未打开"));
        return false;
    }
    const QString table = sheetOfQuery(sql);
    if (table.isEmpty())
        return refuse(QStringLiteral("Excel 工作簿只支持 SELECT * FROM [工作表]：%1").arg(sql));
    if (NewSheet* sheet = newSheet(table)) {
        // The new sheet's rows, writable: a recordset adds rows with AddNew and Update.
        result.tables.push_back(BaseTableKey{sheet->name, {QStringLiteral("__row")}, {}});
        for (qsizetype c = 0; c < sheet->columns.size(); ++c) {
            result.addColumn(sheet->columns.at(c), sheet->adoTypes.at(c));
            ColumnInfo& info = result.columns.back();
            info.definedSize = sheet->adoTypes.at(c) == adVarWChar ? 255 : 8;
            info.attributes = adFldMayBeNull | adFldIsNullable | adFldUpdatable;
            info.baseTable = sheet->name;
            info.baseColumn = sheet->columns.at(c);
            info.tableIndex = 0;
        }
        for (const QVariantList& row : sheet->rows)
            result.appendRow(row);
        return true;
    }
    if (!m_reader) {
        setError(kErrorCommandText, QStringLiteral("工作簿中没有工作表“%1”").arg(table));
        return false;
    }
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
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("工作簿未打开"));
        return false;
    }
    const QStringList words = sql.simplified().split(u' ');
    if (words.size() > 2 &&
        words.at(0).compare(QLatin1String("CREATE"), Qt::CaseInsensitive) == 0 &&
        words.at(1).startsWith(QLatin1String("TABLE"), Qt::CaseInsensitive))
        return createSheet(sql);
    if (!words.isEmpty() && words.at(0).compare(QLatin1String("INSERT"), Qt::CaseInsensitive) == 0)
        return insertValues(sql, affected);
    return refuse(QStringLiteral("Excel 工作簿只支持 CREATE TABLE 和 INSERT：%1").arg(sql));
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

bool WorkbookBackend::updateRow(const QString& table, const QStringList&,
                                const QVariantList& keyValues, const QStringList& columns,
                                const QVariantList& values)
{
    NewSheet* sheet = newSheet(table);
    const qsizetype row = keyValues.value(0, -1).toLongLong();
    if (!sheet || row < 0 || row >= sheet->rows.size())
        return refuse(QStringLiteral("Excel 工作簿以只读方式打开，不能修改数据"));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const qsizetype c = columnOf(*sheet, columns.at(i));
        if (c < 0)
            return refuse(QStringLiteral("工作表中没有列“%1”").arg(columns.at(i)));
        sheet->rows[row][c] = values.value(i);
    }
    m_dirty = true;
    return true;
}

bool WorkbookBackend::insertRow(const QString& table, const QStringList& columns,
                                const QVariantList& values, const QStringList&,
                                QVariantList* newKey)
{
    NewSheet* sheet = newSheet(table);
    if (!sheet)
        return refuse(QStringLiteral("Excel 工作簿以只读方式打开，不能添加数据"));
    sheet->rows.append(QVariantList(sheet->columns.size()));
    if (!updateRow(table, {}, {sheet->rows.size() - 1}, columns, values)) {
        sheet->rows.removeLast();
        return false;
    }
    if (newKey)
        *newKey = {sheet->rows.size() - 1};
    return true;
}

bool WorkbookBackend::fetchRow(const QString& table, const QStringList&,
                               const QVariantList& keyValues, const QStringList& columns,
                               QVariantList& values)
{
    NewSheet* sheet = newSheet(table);
    const qsizetype row = keyValues.value(0, -1).toLongLong();
    if (!sheet || row < 0 || row >= sheet->rows.size())
        return refuse(QStringLiteral("Excel 工作簿的数据行不能按键读取"));
    values.clear();
    for (const QString& column : columns)
        values << sheet->rows.at(row).value(columnOf(*sheet, column));
    return true;
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
