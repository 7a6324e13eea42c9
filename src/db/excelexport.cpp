#include "db/excelexport.h"

#include "db/adotypes.h"
#include "db/cadorecordset.h"

#include <QFileInfo>

namespace orvane::db {

using platform::XlsxWriter;

XlsxWriter::ColumnType excelColumnType(int adoType)
{
    switch (adoType) {
    case adEmpty:
    case adBSTR:
    case adError:
    case adFileTime:
    case adGUID:
    case adChar:
    case adWChar:
    case adUserDefined:
    case adPropVariant:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
        return XlsxWriter::ColumnType::Text;
    case adDate:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
        return XlsxWriter::ColumnType::DateTime;
    case adBoolean:
        return XlsxWriter::ColumnType::Boolean;
    default:
        return XlsxWriter::ColumnType::Number;
    }
}

bool ExportRecordsetToExcel(CADORecordset& rs, const QString& path, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!rs.IsOpen())
        return fail(QStringLiteral("记录集未打开"));

    QStringList names;
    QList<XlsxWriter::ColumnType> types;
    QList<bool> binary;
    const int fieldCount = rs.GetFieldCount();
    for (int i = 0; i < fieldCount; ++i) {
        CADOFieldInfo info;
        if (!rs.GetFieldInfo(i, &info))
            return fail(rs.GetLastErrorString());
        names.append(info.m_strName);
        types.append(excelColumnType(info.m_nType));
        binary.append(isBinaryType(info.m_nType));
    }

    XlsxWriter writer;
    const QString table = QFileInfo(path).completeBaseName();
    if (!writer.open(path, table, names, types))
        return fail(writer.errorString());

    const int position = rs.GetAbsolutePosition();
    bool ok = true;
    QString reason;
    QVariantList values;
    rs.MoveFirst();
    while (ok && !rs.IsEOF()) {
        values.clear();
        for (int i = 0; i < fieldCount; ++i) {
            QVariant value;
            // Bytes have no cell form: a binary field's column stays empty.
            if (!binary.at(i) && !rs.GetFieldValue(i, value)) {
                ok = false;
                reason = rs.GetLastErrorString();
                break;
            }
            values.append(binary.at(i) ? QVariant() : value);
        }
        if (ok && !writer.writeRow(values)) {
            ok = false;
            reason = writer.errorString();
        }
        rs.MoveNext();
    }
    if (position >= 0 && position < rs.GetRecordCount())
        rs.SetAbsolutePosition(position); // otherwise it was past the end, where it is now
    if (ok && !writer.commit()) {
        ok = false;
        reason = writer.errorString();
    }
    if (!ok) {
        writer.cancel();
        return fail(reason);
    }
    if (error)
        error->clear();
    return true;
}

QString excelExportFilter()
{
    return QStringLiteral("Excel 工作簿 (*.xlsx);;Excel 97-2003 工作簿 (*.xls)");
}

QString excelExportPath(const QString& chosen)
{
    if (chosen.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ||
        chosen.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".xlsx");
}

} // namespace orvane::db
