#pragma once

#include "core/cdlguser.h"

#include <QList>
#include <QString>

#include <functional>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// The operator list: new, change, delete and refresh. The editor itself is run by `runEditor`,
// which the dialog sets to show its window (tests fill and accept the editor in it); it returns
// true when the editor was closed with OK.
class CDlgUserList
{
public:
    CDlgUserList(COrvaneApp& app, Prompter& prompter);

    // Fills the list ("EXEC qp_SelectSystemUsers" for the logged-in operator). On failure shows
    // "打开数据库出错!" and leaves the list empty.
    bool refresh();

    const QList<OperatorEntry>& operators() const { return m_rows; }
    QString footerText() const;

    // -1 for no selection.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // Commands; each returns true when the list changed.
    bool newOperator();
    bool changeOperator();
    bool deleteOperator();

    std::function<bool(CDLGUser& editor)> runEditor;

private:
    const OperatorEntry* current() const;
    bool edit(CDLGUser& editor);

    COrvaneApp& m_app;
    Prompter& m_prompter;
    QList<OperatorEntry> m_rows;
    int m_current = -1;
};

} // namespace orvane::core
