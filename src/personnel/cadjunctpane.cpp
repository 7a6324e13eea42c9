#include "personnel/cadjunctpane.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

namespace orvane::personnel {

namespace {

// Sizes are stored as the list shows them, in the client's language.
QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::Chinese, QLocale::China)
        .formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

} // namespace

CAdjunctPane::CAdjunctPane(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter), m_command(app, prompter)
{
}

void CAdjunctPane::setPerson(const SelectedPerson& person)
{
    m_person = person;
    m_files.clear();
    if (person.isValid())
        reload();
}

bool CAdjunctPane::reload()
{
    if (!m_person.isValid()) {
        m_files.clear();
        return true;
    }
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT ID,Name,FileSize,AddDate FROM qp_PsnFiles WHERE PID=%1 "
                                "ORDER BY AddDate,ID")
                     .arg(m_person.pid))) {
        m_command.error(rs.GetLastErrorString());
        return false;
    }
    QList<Attachment> files;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        Attachment file;
        file.id = rs.GetFieldInt(QStringLiteral("ID"));
        file.name = rs.GetFieldString(QStringLiteral("Name"));
        file.size = rs.GetFieldString(QStringLiteral("FileSize"));
        rs.GetFieldValue(QStringLiteral("AddDate"), file.added);
        files << file;
    }
    m_files = files;
    return true;
}

int CAdjunctPane::addFiles()
{
    if (!m_person.isValid())
        return 0;
    const QStringList paths = m_prompter.openFileNames(QStringLiteral("添加附件"), QString(),
                                                       QStringLiteral("All Files (*.*)"));
    return paths.isEmpty() ? 0 : addFiles(paths);
}

int CAdjunctPane::addFiles(const QStringList& paths)
{
    if (paths.isEmpty() || !m_command.checkChange(m_person))
        return 0;
    QStringList skipped;
    int added = 0;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        QFile file(path);
        if (info.size() > kMaxFileBytes) {
            skipped << QStringLiteral("%1（大于 %2，不能保存到数据库）")
                           .arg(info.fileName(), sizeText(kMaxFileBytes));
            continue;
        }
        QByteArray bytes;
        if (info.isFile() && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (bytes.isEmpty()) {
            skipped << QStringLiteral("%1（空文件或无法读取）").arg(info.fileName());
            continue;
        }
        db::CADORecordset rs(&m_app.database());
        const bool ok =
            rs.Open(QStringLiteral("SELECT * FROM qp_PsnFiles WHERE PID=%1").arg(m_person.pid)) &&
            rs.AddNew() && rs.SetFieldValue(QStringLiteral("PID"), m_person.pid) &&
            rs.SetFieldValue(QStringLiteral("Name"), info.fileName()) &&
            rs.SetFieldValue(QStringLiteral("FileSize"), sizeText(bytes.size())) &&
            rs.SetFieldValue(QStringLiteral("AddDate"), QDateTime::currentDateTime()) &&
            rs.AppendChunk(QStringLiteral("FileData"), bytes) && rs.Update();
        if (!ok) {
            rs.CancelUpdate();
            m_command.error(rs.GetLastErrorString());
            break;
        }
        m_command.log(m_person, QStringLiteral("附件添加'%1'").arg(info.fileName()));
        ++added;
    }
    reload();
    if (!skipped.isEmpty()) {
        m_prompter.message(QStringLiteral("以下文件未添加：\n") + skipped.join(QLatin1Char('\n')),
                           core::promptCaption(), core::Prompter::Icon::Warning);
    }
    return added;
}

bool CAdjunctPane::rename(int index, const QString& newName)
{
    if (index < 0 || index >= m_files.size())
        return false;
    const QString name = newName.trimmed();
    const Attachment file = m_files.at(index);
    if (name == file.name)
        return false;
    if (name.isEmpty() || name.size() > 255 || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char('\\'))) {
        m_prompter.message(
            QStringLiteral("文件名不能为空、不能超过255个字符，也不能包含 / 或 \\。"),
            core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    }
    if (!m_command.checkChange(m_person))
        return false;
    if (!m_app.database().Execute(
            QStringLiteral("UPDATE qp_PsnFiles SET Name='%1' WHERE ID=%2 AND PID=%3")
                .arg(core::sqlEscape(name))
                .arg(file.id)
                .arg(m_person.pid))) {
        m_command.error(m_app.database().GetLastErrorString());
        return false;
    }
    m_command.log(m_person, QStringLiteral("附件更名'%1'->'%2'").arg(file.name, name));
    reload();
    return true;
}

bool CAdjunctPane::deleteFiles(const QList<int>& indexes)
{
    QList<Attachment> chosen;
    for (int index : indexes) {
        if (index >= 0 && index < m_files.size())
            chosen << m_files.at(index);
    }
    if (chosen.isEmpty())
        return false;
    if (m_prompter.askYesNo(QStringLiteral("确定要清除选择的 %1 个附件吗？").arg(chosen.size()),
                            core::promptCaption(),
                            core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    if (!m_command.checkChange(m_person))
        return false;
    bool any = false;
    for (const Attachment& file : chosen) {
        if (!m_app.database().Execute(
                QStringLiteral("DELETE FROM qp_PsnFiles WHERE ID=%1 AND PID=%2")
                    .arg(file.id)
                    .arg(m_person.pid))) {
            m_command.error(m_app.database().GetLastErrorString());
            break;
        }
        m_command.log(m_person, QStringLiteral("附件删除'%1'").arg(file.name));
        any = true;
    }
    reload();
    return any;
}

bool CAdjunctPane::readData(int id, QByteArray& bytes)
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT FileData FROM qp_PsnFiles WHERE ID=%1 AND PID=%2")
                     .arg(id)
                     .arg(m_person.pid))) {
        m_command.error(rs.GetLastErrorString());
        return false;
    }
    if (rs.IsEOF()) {
        m_prompter.message(QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"),
                           core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    }
    return rs.GetChunk(QStringLiteral("FileData"), bytes);
}

bool CAdjunctPane::saveAs(int index)
{
    if (index < 0 || index >= m_files.size())
        return false;
    const Attachment file = m_files.at(index);
    const QString path = m_prompter.saveFileName(QStringLiteral("另存为"), file.name,
                                                 QStringLiteral("All Files (*.*)"),
                                                 core::Prompter::Overwrite::CallerAsks);
    if (path.isEmpty() || !m_command.confirmOverwrite(path))
        return false;
    QByteArray bytes;
    if (!readData(file.id, bytes))
        return false;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        m_command.error(QStringLiteral("无法写入文件 %1。").arg(path));
        return false;
    }
    m_command.log(m_person, QStringLiteral("附件另存'%1'").arg(file.name));
    return true;
}

QStringList CAdjunctPane::writeCopies(const QList<int>& indexes, const QString& folder)
{
    QStringList written;
    for (int index : indexes) {
        if (index < 0 || index >= m_files.size())
            continue;
        QByteArray bytes;
        if (!readData(m_files.at(index).id, bytes))
            continue;
        const QString path = QDir(folder).filePath(QFileInfo(m_files.at(index).name).fileName());
        QFile out(path);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            out.write(bytes) == bytes.size())
            written << path;
    }
    return written;
}

QString CAdjunctPane::dateText(const QDateTime& added)
{
    return added.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString CAdjunctPane::typeName(const QString& fileName)
{
    static const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QStringLiteral("文件") : type.comment();
}

} // namespace orvane::personnel
