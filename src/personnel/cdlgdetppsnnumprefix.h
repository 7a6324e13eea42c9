#pragma once

#include "core/treerow.h"

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

// The personnel-number prefix of each department (mode 2 of the number rule): a tree grid of all
// departments whose prefix cells are edited in place and stored at once.
class CDlgDetpPsnNumPrefix
{
public:
    enum Column { DidColumn = 0, ParentColumn = 1, NameColumn = 2, PrefixColumn = 3 };

    CDlgDetpPsnNumPrefix(core::COrvaneApp& app, core::Prompter& prompter);

    bool refresh();
    static QList<core::TreeColumn> columns();
    const QList<core::TreeRow>& rows() const { return m_rows; }

    // The edit of a prefix cell ended; a prefix longer than 50 characters is refused.
    bool setPrefix(int did, const QString& prefix);

private:
    QList<core::TreeRow> readLevel(int parentId, int depth, bool& ok);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QList<core::TreeRow> m_rows;
};

} // namespace orvane::personnel
