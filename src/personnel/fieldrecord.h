#pragma once

#include "personnel/picknode.h"

#include <QDate>
#include <QList>
#include <QString>

namespace orvane::personnel {

// One catalogue field as the record form keeps it (a row of qp_Items).
struct FieldRecord
{
    int itemId = 0;
    QString name;  // column name, up to 30 characters
    QString alias; // caption, up to 50 characters
    int fixed = 0;
    int required = 0;
    QString idRef; // dictionary code or reference key
    QString defValue;
    qint16 dataType = 1;
    int length = 0;
    int decimals = 0;
    int choice = 0;
    int flag = 0;
};

// Which editor a field gets.
enum class EditorKind {
    Line,             // numeric and text fields, key references to other tables
    Date,             // date with an empty state
    DictionaryPicker, // type 3 with a dictionary code
    DepartmentPicker, // "QP_DEPT.NAME" (type 3) or "QP_DEPT.DID" (type 4)
    CategoryPicker,   // "QP_PSNSORT.NAME" (type 3) or "QP_PSNSORT.AID" (type 4)
    PersonPicker,     // "QP_PSNBASE.NAME" (type 3)
};

// The state of one editor: what it shows and whether it can be changed. The form's window
// mirrors it; the workflow reads and writes only this.
struct FieldEditor
{
    EditorKind kind = EditorKind::Line;
    QString text; // line text, or the picked entry's caption
    int id = 0;   // the picked entry's key
    QDate date;   // null: no date
    bool enabled = true;
    QList<PickNode> nodes; // drop-down entries of the tree pickers
};

} // namespace orvane::personnel
