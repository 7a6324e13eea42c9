#pragma once

#include "core/colfmt.h"

#include <QString>
#include <QStringList>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

// How a grid shows one column of a result: its caption, catalogue data type, width, visibility,
// format and editor. Workflows describe their columns with it; the grid in src/widgets draws
// them. The grid's column i shows the result's column i.
struct GridColumn
{
    // Catalogue data type codes (qp_Items.iDataType).
    enum Type {
        Number = 0,
        Text = 1,
        Date = 2,
        Dictionary = 3,
        Link = 4,
        Internal = 5,
        BuiltIn = 255
    };

    QString field;   // catalogue field name (empty for helper columns)
    QString caption; // header text
    int dataType = Text;
    int width = 0; // pixels; 0 keeps the grid's default
    bool visible = true;
    bool editable = false;
    int decimals = 2;  // number columns
    int maxLength = 0; // text columns, 0 = no limit
    ColFmt format;
    QStringList choices; // dictionary titles for the drop-down
};

// The width an operator gave a catalogue field's column, kept in `column` and in the catalogue
// (qp_Items.iWid) for every grid that shows the field.
void storeFieldWidth(db::CADODatabase& database, GridColumn& column, int width);
// The same for a column format (qp_Items.ColFmt), marked as set. False, `column` unchanged, when
// the catalogue refuses it; the database keeps the error.
bool storeFieldFormat(db::CADODatabase& database, GridColumn& column, const ColFmt& format);

} // namespace orvane::core
