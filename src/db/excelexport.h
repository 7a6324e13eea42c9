#pragma once

#include "platform/xlsxwriter.h"

#include <QString>

namespace orvane::db {

class CADORecordset;

// The column type a field of the given ADO type gets in an exported sheet: TEXT for the text,
// GUID, error and variant types, DATETIME for the date types, LOGICAL for adBoolean and NUMBER
// for every other type (numbers, and binaries too).
platform::XlsxWriter::ColumnType excelColumnType(int adoType);

// Writes every record of `rs` to the workbook `path`: one sheet named after the file (no folder,
// no extension), the field names in field order as its first row, then one row per record from
// the first. An existing file is replaced only once the new one is complete. The recordset's
// cursor is put back where it was. On failure returns false and, when `error` is given, the
// reason.
// A path ending in .xls gets an Excel 97-2003 workbook, any other an .xlsx workbook.
bool ExportRecordsetToExcel(CADORecordset& rs, const QString& path, QString* error = nullptr);

// The file-type choice every export dialog offers: .xlsx first, then Excel 97-2003 (.xls).
QString excelExportFilter();
// The chosen path with ".xlsx" added when it names neither workbook type.
QString excelExportPath(const QString& chosen);

} // namespace orvane::db
