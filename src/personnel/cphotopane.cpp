#include "personnel/cphotopane.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace orvane::personnel {

namespace {

QString badPictureText()
{
    return QStringLiteral("设置照片时出错。\r\n请选择正确的图片格式和大小。");
}

} // namespace

CPhotoPane::CPhotoPane(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter), m_command(app, prompter)
{
}

void CPhotoPane::setPerson(const SelectedPerson& person)
{
    m_person = person;
    m_photo.clear();
    if (!person.isValid())
        return;
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral("SELECT Photo FROM qp_PsnAdj WHERE PID=%1").arg(person.pid)) &&
        !rs.IsEOF())
        rs.GetChunk(QStringLiteral("Photo"), m_photo);
}

bool CPhotoPane::isPicture(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxPhotoBytes)
        return false;
    return !QImage::fromData(bytes).isNull();
}

bool CPhotoPane::storePhoto(db::CADODatabase& database, int pid, const QByteArray& bytes,
                            QString* error)
{
    if (bytes.isEmpty()) {
        const bool ok =
            database.Execute(QStringLiteral("DELETE FROM qp_PsnAdj WHERE PID=%1").arg(pid));
        if (!ok && error)
            *error = database.GetLastErrorString();
        return ok;
    }
    db::CADORecordset rs(&database);
    bool ok = rs.Open(QStringLiteral("SELECT Photo,PID FROM qp_PsnAdj WHERE PID=%1").arg(pid));
    if (ok && rs.IsEOF())
        ok = rs.AddNew() && rs.SetFieldValue(QStringLiteral("PID"), pid);
    else if (ok)
        ok = rs.Edit();
    ok = ok && rs.AppendChunk(QStringLiteral("Photo"), bytes) && rs.Update();
    if (!ok) {
        rs.CancelUpdate();
        if (error)
            *error = rs.GetLastErrorString();
    }
    return ok;
}

bool CPhotoPane::replaceWith(const QByteArray& bytes)
{
    if (!m_command.checkChange(m_person))
        return false;
    QString error;
    if (!storePhoto(m_app.database(), m_person.pid, bytes, &error)) {
        m_command.error(error);
        return false;
    }
    m_photo = bytes;
    m_command.log(m_person, QStringLiteral("照片%1").arg(bytes.isEmpty() ? QStringLiteral("清除")
                                                                         : QStringLiteral("更新")));
    return true;
}

bool CPhotoPane::openPhoto()
{
    if (!m_person.isValid())
        return false;
    const QString path = m_prompter.openFileName(
        QStringLiteral("打开"), QString(),
        QStringLiteral(
            "图片文件 (*.jpg *.jpeg *.gif *.bmp *.png *.wmf *.emf);;所有图片文件 (*.*)"));
    if (path.isEmpty())
        return false;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxPhotoBytes)
        bytes = file.readAll();
    if (!isPicture(bytes)) {
        m_prompter.message(badPictureText(), core::promptCaption(), core::Prompter::Icon::Error);
        return false;
    }
    return replaceWith(bytes);
}

bool CPhotoPane::setCapturedPhoto(const QByteArray& bytes)
{
    if (!m_person.isValid())
        return false;
    if (!isPicture(bytes)) {
        m_prompter.message(badPictureText(), core::promptCaption(), core::Prompter::Icon::Error);
        return false;
    }
    return replaceWith(bytes);
}

bool CPhotoPane::clearPhoto()
{
    if (!m_person.isValid())
        return false;
    if (m_prompter.askYesNo(QStringLiteral("确定要清除图片吗?"), core::promptCaption(),
                            core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    return replaceWith(QByteArray());
}

bool CPhotoPane::savePhotoAs()
{
    if (!m_person.isValid() || m_photo.isEmpty())
        return false;
    QString path = m_prompter.saveFileName(QStringLiteral("另存为"), QString(),
                                           QStringLiteral("All Files (*.*)"),
                                           core::Prompter::Overwrite::CallerAsks);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".jpg");
    if (!m_command.confirmOverwrite(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(m_photo) != m_photo.size()) {
        m_command.error(QStringLiteral("无法写入文件 %1。").arg(path));
        return false;
    }
    m_command.log(m_person, QStringLiteral("照片另存"));
    return true;
}

} // namespace orvane::personnel
