#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace orvane::server {

// One row the delivered database starts with.
struct SeedRow
{
    QString table;
    QStringList columns;
    QVariantList values;
};

// The catalogue: qp_Table rows of the fixed tables and the qp_Items rows of their fields.
QList<SeedRow> catalogueRows();
// qp_Dict and qp_DictItem: the code lists a Chinese organisation needs from the first day.
QList<SeedRow> dictionaryRows();
// Options, the super operator, personnel categories, mail and statistics defaults.
QList<SeedRow> systemRows();
// All of the above, in insertion order.
QList<SeedRow> deliveredRows();

// The VBScript function library stored as qp_SysOption nType 1.
QString deliveredScriptLibrary();

// Name of the super operator created with every database; its password is empty.
inline constexpr const char* kSuperOperatorName = "admin";

} // namespace orvane::server
