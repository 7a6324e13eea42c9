#pragma once

// The batch change shared by the personnel view and the wage view: one field of the caller's
// list, an operation and a value, checked with the operator and turned into the SET expression
// of one UPDATE over the caller's selection.
//
//     core::CDlgBatchUpdate batch(database, prompter, fieldQuery,
//                                 core::CDlgBatchUpdate::Rounding::ByRule);
//     batch.load();
//     batch.field = 2; batch.operation = CDlgBatchUpdate::Add; batch.value = "100";
//     if (batch.confirm())
//         database.Execute("UPDATE t SET [" + batch.fieldAt(2).name + "]=" + batch.expression()
//                          + where);

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class Prompter;

class CDlgBatchUpdate
{
public:
    // One row of the field query: ItemID, Name, Alias, iDataType, iDec, iChoice.
    struct Field
    {
        int itemId = 0;
        QString name;
        QString caption;
        int dataType = 0;
        int decimals = 2;
        int rounding = 0; // iChoice: 1 floor, 2 ceiling, otherwise round to `decimals`
    };

    enum Operation { NoOperation = -1, Assign = 0, Add, Subtract, Multiply, Divide };

    // How a numeric result is rounded: always ROUND(x,decimals) (personnel fields), or by the
    // item's rule (wage items: FLOOR, CEILING or ROUND).
    enum class Rounding { Decimals, ByRule };

    CDlgBatchUpdate(db::CADODatabase& database, Prompter& prompter, QString fieldQuery,
                    Rounding rounding);

    // Reads the fields; false (with the data layer's error shown) when the query fails.
    bool load();
    const QList<Field>& fields() const { return m_fields; }
    const Field& fieldAt(int index) const { return m_fields.at(index); }

    // "赋值", "统加", "统减", "统乘", "统除" for a numeric field, only "赋值" for any other.
    QStringList operationsFor(int fieldIndex) const;
    static QString operationName(int operation);

    // The operator's choice. A date field's value is "yyyy-MM-dd" from the date picker.
    int field = -1;
    int operation = NoOperation;
    QString value;

    // The checks ("请选择项！", "请选择修改方式!", "值只能是数字!", "除数不能为零!") and the
    // question "操作不可回退，确定批量修改吗?"; true when the change may run.
    bool confirm();

    // The SET expression of the chosen field, operation and value: the value itself for "赋值"
    // (quoted unless numeric), "[f]+v" ... "[f]/v" otherwise, a numeric field's result wrapped
    // by the rounding.
    QString expression() const;
    // The value as written in log lines.
    QString valueText() const;

private:
    bool numericField() const;

    db::CADODatabase& m_db;
    Prompter& m_prompter;
    QString m_query;
    Rounding m_rounding;
    QList<Field> m_fields;
};

} // namespace orvane::core
