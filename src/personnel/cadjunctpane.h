#pragma once

#include "personnel/panecommand.h"
#include "personnel/selectedperson.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::personnel {

// One stored attachment as the list shows it.
struct Attachment
{
    int id = 0;
    QString name;
    QString size; // as formatted when added
    QDateTime added;
};

// The attachment pane ("附件"): files of the selected person stored in qp_PsnFiles. Add (from
// the file dialog or dropped files), rename, delete, save as, and copies for dragging out.
class CAdjunctPane
{
public:
    // Larger files are refused with a message (the whole file goes into the database).
    static constexpr qint64 kMaxFileBytes = 50LL * 1024 * 1024;

    CAdjunctPane(core::COrvaneApp& app, core::Prompter& prompter);

    void setPerson(const SelectedPerson& person);
    const SelectedPerson& person() const { return m_person; }
    // "刷新(&R)". Keeps the previous list when the query fails.
    bool reload();
    const QList<Attachment>& files() const { return m_files; }

    // "添加(&A)": files chosen by the operator.
    int addFiles();
    // Files dropped onto the pane (and the second half of addFiles()). Empty, unreadable and
    // oversized files are skipped and named in one message. Returns the number added.
    int addFiles(const QStringList& paths);
    // "更名(&E)": in-place rename of the entry at `index`.
    bool rename(int index, const QString& newName);
    // "删除(&D)" of the entries at the given indexes.
    bool deleteFiles(const QList<int>& indexes);
    // "另存为(&S)...": the stored bytes into a file chosen by the operator.
    bool saveAs(int index);
    // Writes the entries into `folder` under their stored names for dragging out; returns the
    // paths written.
    QStringList writeCopies(const QList<int>& indexes, const QString& folder);

    // "%Y-%m-%d %H:%M" of the list's date column.
    static QString dateText(const QDateTime& added);
    // The file-type description of a name's extension, e.g. "PDF document".
    static QString typeName(const QString& fileName);

private:
    bool readData(int id, QByteArray& bytes);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    PaneCommand m_command;
    SelectedPerson m_person;
    QList<Attachment> m_files;
};

} // namespace orvane::personnel
