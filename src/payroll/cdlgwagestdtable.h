#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The standard table definition ("薪资标准表设置"): name, description and the tree of the
// dictionaries that a personnel field or wage item refers to, each with its codes as tick boxes.
// A new table takes the ticked codes when it is saved; for an existing table every tick is
// applied at once to its rows or columns, and only its own dictionaries can be ticked.
class CDlgWageStdTable
{
public:
    static constexpr int kMaxCodes = 100;

    struct Code
    {
        int id = 0; // qp_DictItem.ID
        QString value;
        QString title;
        int depth = 0;
        bool ticked = false;
    };
    struct Dictionary
    {
        int id = 0;
        QString dictId;
        QString title;
        QList<Code> codes; // the code tree, depth first
        int tickedCount() const;
        QStringList tickedValues() const;
    };

    CDlgWageStdTable(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int stdId = 0);

    bool isNew() const { return m_stdId == 0; }
    int stdId() const { return m_stdId; }
    QList<Dictionary>& dictionaries() { return m_dicts; }
    // For an existing table: the row and column dictionaries, the only ones that can be ticked.
    bool isEditable(int dictIndex) const;

    // Ticks or unticks one code; for an existing table the change is written at once. False
    // when refused or when the statement failed (the tick stays as it was).
    bool setTicked(int dictIndex, int codeIndex, bool ticked);

    // Runs the checks and saves; true when saved (and logged).
    bool save();

    QString name;
    QString descr;

private:
    void loadCodes(Dictionary& dict, const QString& parent, int depth);
    void warn(const QString& text);
    QString sortTitle() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_stdId;
    QString m_dataTable;
    QString m_dictRow;
    QString m_dictCol;
    QList<Dictionary> m_dicts;
};

} // namespace orvane::payroll
