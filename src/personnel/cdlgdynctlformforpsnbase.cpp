#include "personnel/cdlgdynctlformforpsnbase.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "personnel/cphotopane.h"
#include "platform/idcardreader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace orvane::personnel {

namespace {

const QString kNumber = QStringLiteral("Number");

QString photoError()
{
    return QStringLiteral("设置照片时出错。\r\n请选择正确的图片格式和大小。");
}

bool isPicture(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.canRead() && !reader.read().isNull();
}

} // namespace

CDlgDynCtlFormForPsnbase::CDlgDynCtlFormForPsnbase(core::COrvaneApp& app, core::Prompter& prompter)
    : CDlgDynCtlFormBase(app, prompter)
{
    setTable(QStringLiteral("qp_PsnBase"), QStringLiteral("PID"));
}

CDlgDynCtlFormForPsnbase::~CDlgDynCtlFormForPsnbase() = default;

QString CDlgDynCtlFormForPsnbase::autoNumberText()
{
    return QStringLiteral("<自动编号>");
}

bool CDlgDynCtlFormForPsnbase::build()
{
    m_rule = PsnNumberRule{};
    PsnNumberRule::parse(
        core::Catalog(m_app.database())
            .text(QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=0")),
        m_rule);
    m_photo.clear();
    m_photoChanged = false;
    return CDlgDynCtlFormBase::build();
}

QDate CDlgDynCtlFormForPsnbase::defaultDate(const FieldRecord& field) const
{
    return QDate::fromString(field.defValue.trimmed(), Qt::ISODate);
}

void CDlgDynCtlFormForPsnbase::applyDefaults()
{
    CDlgDynCtlFormBase::applyDefaults();
    const int number = fieldIndex(kNumber);
    if (number >= 0 && m_rule.mode != PsnNumberRule::Typed) {
        m_editors[number].text = autoNumberText();
        m_editors[number].enabled = false;
    }
    m_photo.clear();
    m_photoChanged = false;
}

bool CDlgDynCtlFormForPsnbase::load()
{
    if (!CDlgDynCtlFormBase::load())
        return false;
    m_numberAtOpening = editorText(kNumber);
    m_photo.clear();
    m_photoChanged = false;
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral("SELECT Photo FROM qp_PsnAdj WHERE PID=%1").arg(m_recordId)) &&
        !rs.IsEOF())
        rs.GetChunk(QStringLiteral("Photo"), m_photo);
    return true;
}

QString CDlgDynCtlFormForPsnbase::editorText(const QString& field) const
{
    const int index = fieldIndex(field);
    return index < 0 ? QString() : m_editors[index].text;
}

int CDlgDynCtlFormForPsnbase::editorId(const QString& field) const
{
    const int index = fieldIndex(field);
    return index < 0 ? 0 : m_editors[index].id;
}

QString CDlgDynCtlFormForPsnbase::proposedNumber(int did) const
{
    const core::Catalog catalog(m_app.database());
    const QString prefix =
        m_rule.mode == PsnNumberRule::DepartmentPrefix
            ? catalog.text(QStringLiteral("SELECT PNRule FROM qp_Dept WHERE DID='%1'").arg(did))
            : QString();
    return m_rule.compose(catalog.lastIdentity(m_table), prefix, editorText(kNumber));
}

bool CDlgDynCtlFormForPsnbase::save()
{
    m_focusField = -1;
    const core::Catalog catalog(m_app.database());
    const auto refuse = [this](const QString& text, int field) {
        showMessage(text, field);
        return false;
    };
    const int numberField = fieldIndex(kNumber);
    const bool added = m_addMode;
    const QString number =
        added ? proposedNumber(editorId(QStringLiteral("DID"))) : editorText(kNumber);
    if (added || number != m_numberAtOpening) {
        if (number.isEmpty() || number.size() > 50 || catalog.personnelNumberExists(number))
            return refuse(QStringLiteral("编号重复或长度异常!"), numberField);
    }
    if (!checkRequired())
        return false;
    const int aidField = fieldIndex(QStringLiteral("AID"));
    const int didField = fieldIndex(QStringLiteral("DID"));
    if (aidField >= 0 &&
        !catalog.rowExists(QStringLiteral("qp_PsnSort"),
                           QStringLiteral("AID=%1").arg(editorId(QStringLiteral("AID")))))
        return refuse(QStringLiteral("选择的人员类别被删除！"), aidField);
    if (didField >= 0 &&
        !catalog.rowExists(QStringLiteral("qp_Dept"),
                           QStringLiteral("DID=%1").arg(editorId(QStringLiteral("DID")))))
        return refuse(QStringLiteral("选择的部门被删除！"), didField);
    const QString shownNumber = numberField >= 0 ? m_editors[numberField].text : QString();
    if (numberField >= 0)
        m_editors[numberField].text = number;
    if (!saveRecord()) {
        if (numberField >= 0)
            m_editors[numberField].text = shownNumber;
        return false;
    }
    const int pid = m_recordId;
    const QString name = editorText(QStringLiteral("Name"));
    if (m_photoChanged)
        storePhoto(pid, number, name);
    core::AddSystemLog(
        m_app, QStringLiteral("人员档案[%1：(%2)%3]")
                   .arg(added ? QStringLiteral("新增") : QStringLiteral("修改"), number, name));
    m_numberAtOpening = number;
    if (onSaved)
        onSaved(pid);
    if (added)
        clearForNext();
    return true;
}

bool CDlgDynCtlFormForPsnbase::storePhoto(int pid, const QString& number, const QString& name)
{
    const bool ok = CPhotoPane::storePhoto(m_app.database(), pid, m_photo);
    const QString word = m_photo.isEmpty() ? QStringLiteral("清除") : QStringLiteral("更新");
    if (!ok) {
        m_prompter.message(QStringLiteral("保存出错!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    m_photoChanged = false;
    core::AddSystemLog(m_app,
                       QStringLiteral("人员档案[\"%1(%2)\"->照片%3]").arg(name, number, word));
    return true;
}

bool CDlgDynCtlFormForPsnbase::loadPhotoFile(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    if (QFileInfo(path).size() <= MaxPhotoBytes && file.open(QIODevice::ReadOnly))
        bytes = file.read(MaxPhotoBytes + 1);
    if (bytes.isEmpty() || bytes.size() > MaxPhotoBytes || !isPicture(bytes)) {
        m_prompter.message(photoError(), core::promptCaption(), core::Prompter::Icon::Error);
        return false;
    }
    m_photo = bytes;
    m_photoChanged = true;
    m_modified = true;
    return true;
}

bool CDlgDynCtlFormForPsnbase::clearPhoto()
{
    if (m_photo.isEmpty())
        return false;
    if (m_prompter.askYesNo(QStringLiteral("确定要清除图片吗?"), core::promptCaption(),
                            core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    m_photo.clear();
    m_photoChanged = true;
    m_modified = true;
    return true;
}

bool CDlgDynCtlFormForPsnbase::leave()
{
    if (!m_modified)
        return true;
    return m_prompter.askYesNo(QStringLiteral("确定退出吗?"), core::promptCaption(),
                               core::Prompter::Icon::Question) == core::Prompter::Answer::Yes;
}

void CDlgDynCtlFormForPsnbase::putCardText(const QString& field, const QString& text)
{
    const int index = fieldIndex(field);
    if (index < 0 || !m_editors[index].enabled)
        return;
    FieldEditor& editor = m_editors[index];
    if (editor.kind == EditorKind::Line) {
        setText(index, text);
        return;
    }
    const PickNode* node = findPickNodeByText(editor.nodes, text);
    setChoice(index, node ? node->id : 0, text);
}

bool CDlgDynCtlFormForPsnbase::readCard()
{
    if (!m_reader)
        m_reader = std::make_unique<platform::IdCardReader>(m_app.programFolder());
    if (!m_reader->isLoaded())
        return false;
    platform::IdCardData data;
    QByteArray picture;
    switch (m_reader->read(data, picture)) {
    case platform::IdCardReader::Result::PortFailed:
        m_prompter.message(QStringLiteral("端口打开失败！\n\r \n\r请确认身份证读卡器连接正确。"),
                           core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    case platform::IdCardReader::Result::ReadFailed:
    case platform::IdCardReader::Result::BadText:
        m_prompter.message(QStringLiteral("读卡失败！"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    case platform::IdCardReader::Result::Ok:
        break;
    default:
        return false;
    }
    putCardText(QStringLiteral("Name"), data.name);
    putCardText(QStringLiteral("Sex"), data.sex);
    putCardText(QStringLiteral("Nation"), data.nation);
    const int birthday = fieldIndex(QStringLiteral("Birthday"));
    if (birthday >= 0 && m_editors[birthday].enabled)
        setDate(birthday, data.birthday);
    putCardText(QStringLiteral("Address"), data.address);
    putCardText(QStringLiteral("IDNumber"), data.idNumber);
    if (!picture.isEmpty() && picture.size() <= MaxPhotoBytes && isPicture(picture)) {
        m_photo = picture;
        m_photoChanged = true;
        m_modified = true;
    }
    return true;
}

void CDlgDynCtlFormForPsnbase::cancel()
{
    if (m_reader)
        m_reader->closePort();
}

} // namespace orvane::personnel
