#pragma once

#include <QList>
#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The wage item editor: caption, type, dictionary, property, decimals, rounding, carry-over,
// active, standard table and formula, saved through qp_AddDBTableWageItem after its checks.
class CDlgWageItemSet
{
public:
    enum DataType { Numeric = 0, Reference = 3 };
    enum Property { FreeInput = 0, Formula = 1, StandardTable = 2 };

    struct Choice
    {
        int id = 0;
        QString key; // dictionary: DictId
        QString title;
    };

    CDlgWageItemSet(core::COrvaneApp& app, core::Prompter& prompter, int sortId);

    // Reads an existing item; false (with message 133) when it is gone.
    bool load(int itemId);
    bool isNew() const { return m_itemId == 0; }
    int itemId() const { return m_itemId; }
    QString windowTitle() const;

    // Choices for the combo boxes.
    const QList<Choice>& dictionaries() const { return m_dicts; }
    const QList<Choice>& standardTables() const { return m_stdTables; }
    // The standard tables as the formula editor's list wants them: "#id;name|" each.
    QString standardTableList() const;

    // Which rows the window shows for the present choices.
    bool showsDictionary() const { return dataType == Reference; }
    bool showsStandardTable() const { return dataType == Numeric && property == StandardTable; }
    bool showsFormula() const { return dataType == Numeric && property == Formula; }

    // Runs the checks in order and saves; true when saved (and logged).
    bool save();

    // The values the window edits.
    QString caption;
    int dataType = Numeric;
    QString dictionary; // DictId
    int property = FreeInput;
    int decimals = 2;
    int rounding = 0;
    bool retain = false;
    bool active = true;
    int standardTable = 0;
    QString formula; // display form (FExp2)

private:
    void warn(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_itemId = 0;
    QString m_oldCaption;
    QList<Choice> m_dicts;
    QList<Choice> m_stdTables;
};

} // namespace orvane::payroll
