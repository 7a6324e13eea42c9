#include "personnel/cdlgdynctlformbase.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/gridrows.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/cadorecordset.h"
#include "personnel/pickerlists.h"

#include <QDateTime>

namespace orvane::personnel {

CDlgDynCtlFormBase::CDlgDynCtlFormBase(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

int CDlgDynCtlFormBase::firstEnabledField() const
{
    for (int i = 0; i < m_editors.size(); ++i)
        if (m_editors[i].enabled)
            return i;
    return -1;
}

void CDlgDynCtlFormBase::setTable(const QString& table, const QString& keyColumn)
{
    m_table = table;
    m_keyColumn = keyColumn;
}

void CDlgDynCtlFormBase::setOwnerGrid(core::GridRows* grid, int keyColumn)
{
    m_ownerGrid = grid;
    m_ownerKeyColumn = keyColumn;
}

int CDlgDynCtlFormBase::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString CDlgDynCtlFormBase::fieldList() const
{
    QStringList names;
    for (const FieldRecord& field : m_fields)
        names << field.name;
    return names.join(QLatin1Char(','));
}

FieldEditor CDlgDynCtlFormBase::createEditor(const FieldRecord& field)
{
    FieldEditor editor;
    const QString ref = field.idRef.trimmed().toUpper();
    const PickerLists lists(m_app.database(), m_app.currentOperator());
    if (field.dataType == 2) {
        editor.kind = EditorKind::Date;
    } else if (field.dataType == 3) {
        if (ref == QLatin1String("QP_PSNSORT.NAME")) {
            editor.kind = EditorKind::CategoryPicker;
            editor.nodes = lists.categories();
        } else if (ref == QLatin1String("QP_DEPT.NAME")) {
            editor.kind = EditorKind::DepartmentPicker;
            editor.nodes = lists.departments();
        } else if (ref == QLatin1String("QP_PSNBASE.NAME")) {
            editor.kind = EditorKind::PersonPicker;
        } else {
            editor.kind = EditorKind::DictionaryPicker;
            editor.nodes = lists.dictionary(field.idRef.trimmed());
        }
    } else if (field.dataType == 4 && ref == QLatin1String("QP_PSNSORT.AID")) {
        editor.kind = EditorKind::CategoryPicker;
        editor.nodes = lists.categories();
    } else if (field.dataType == 4 && ref == QLatin1String("QP_DEPT.DID")) {
        editor.kind = EditorKind::DepartmentPicker;
        editor.nodes = lists.departments();
    }
    return editor;
}

bool CDlgDynCtlFormBase::build()
{
    m_fields.clear();
    m_editors.clear();
    m_focusField = -1;
    m_closeRequested = false;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT ItemID,Name,Alias,bFixed,bNotNull,IdRef,DefValue,"
                                "iDataType,iLength,iDec,iChoice,iFlag FROM qp_Items WHERE "
                                "TblName='%1' AND (iDataType<>5 AND iFlag<>2) ORDER BY Ord")
                     .arg(core::sqlEscape(m_table)))) {
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        FieldRecord field;
        field.itemId = rs.GetFieldInt(QStringLiteral("ItemID"));
        field.name = rs.GetFieldString(QStringLiteral("Name")).left(29);
        field.alias = rs.GetFieldString(QStringLiteral("Alias")).left(49);
        field.fixed = rs.GetFieldInt(QStringLiteral("bFixed"));
        field.required = rs.GetFieldInt(QStringLiteral("bNotNull"));
        field.idRef = rs.GetFieldString(QStringLiteral("IdRef")).left(99);
        field.defValue = rs.GetFieldString(QStringLiteral("DefValue")).left(255);
        field.dataType = qint16(rs.GetFieldInt(QStringLiteral("iDataType")));
        field.length = rs.GetFieldInt(QStringLiteral("iLength"));
        field.decimals = rs.GetFieldInt(QStringLiteral("iDec"));
        field.choice = rs.GetFieldInt(QStringLiteral("iChoice"));
        field.flag = rs.GetFieldInt(QStringLiteral("iFlag"));
        m_fields.append(field);
        m_editors.append(createEditor(field));
    }
    if (m_addMode) {
        applyDefaults();
    } else {
        for (int i = 0; i < m_fields.size(); ++i)
            m_editors[i].enabled = m_fields[i].flag != 1;
        if (!load())
            return false;
    }
    m_focusField = firstEnabledField();
    m_modified = false;
    return true;
}

QDate CDlgDynCtlFormBase::defaultDate(const FieldRecord& field) const
{
    const QDate parsed = QDate::fromString(field.defValue.trimmed(), Qt::ISODate);
    return parsed.isValid() ? parsed : QDate::currentDate();
}

void CDlgDynCtlFormBase::applyDefaults()
{
    for (int i = 0; i < m_fields.size(); ++i) {
        const FieldRecord& field = m_fields[i];
        FieldEditor& editor = m_editors[i];
        editor.enabled = true;
        editor.id = 0;
        editor.text.clear();
        editor.date = QDate();
        if (field.dataType == 2) {
            editor.date = defaultDate(field);
        } else if (field.dataType == 4) {
            // Key references start empty.
        } else if (field.dataType == 3 && !editor.nodes.isEmpty()) {
            const PickNode* node = findPickNodeByText(editor.nodes, field.defValue);
            editor.text = field.defValue;
            editor.id = node ? node->id : 0;
        } else {
            editor.text = field.defValue;
        }
    }
}

bool CDlgDynCtlFormBase::load()
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT %1 FROM %2 WHERE %3=%4")
                     .arg(fieldList(), m_table, m_keyColumn)
                     .arg(m_recordId))) {
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    if (rs.IsEOF()) {
        m_closeRequested = true;
        m_prompter.message(core::Catalog::deletedRowMessage(), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    for (int i = 0; i < m_fields.size(); ++i) {
        const FieldRecord& field = m_fields[i];
        FieldEditor& editor = m_editors[i];
        QVariant value;
        rs.GetFieldValue(field.name, value);
        editor.id = 0;
        editor.text.clear();
        editor.date = QDate();
        switch (editor.kind) {
        case EditorKind::Date:
            editor.date = value.toDateTime().date();
            break;
        case EditorKind::DepartmentPicker:
        case EditorKind::CategoryPicker:
            if (field.dataType == 4) {
                editor.id = value.toInt();
                const PickNode* node = findPickNode(editor.nodes, editor.id);
                editor.text = node ? node->text : QString();
                break;
            }
            [[fallthrough]];
        case EditorKind::DictionaryPicker:
        case EditorKind::PersonPicker: {
            editor.text = value.toString();
            const PickNode* node = findPickNodeByText(editor.nodes, editor.text);
            editor.id = node ? node->id : 0;
            break;
        }
        case EditorKind::Line:
            // Numbers show with the field's decimals at most, without trailing zeros.
            if (value.typeId() == QMetaType::Double) {
                editor.text = QString::number(value.toDouble(), 'f', qBound(0, field.decimals, 15));
                if (editor.text.contains(QLatin1Char('.'))) {
                    while (editor.text.endsWith(QLatin1Char('0')))
                        editor.text.chop(1);
                    if (editor.text.endsWith(QLatin1Char('.')))
                        editor.text.chop(1);
                }
            } else {
                editor.text = value.toString();
            }
            break;
        }
    }
    m_modified = false;
    return true;
}

void CDlgDynCtlFormBase::setText(int field, const QString& text)
{
    if (field < 0 || field >= m_editors.size() || m_editors[field].text == text)
        return;
    m_editors[field].text = text;
    m_modified = true;
}

void CDlgDynCtlFormBase::setDate(int field, const QDate& date)
{
    if (field < 0 || field >= m_editors.size() || m_editors[field].date == date)
        return;
    m_editors[field].date = date;
    m_modified = true;
}

void CDlgDynCtlFormBase::setChoice(int field, int id, const QString& text)
{
    if (field < 0 || field >= m_editors.size())
        return;
    FieldEditor& editor = m_editors[field];
    if (editor.id == id && editor.text == text)
        return;
    editor.id = id;
    editor.text = text;
    m_modified = true;
}

void CDlgDynCtlFormBase::showMessage(const QString& text, int focusField)
{
    m_focusField = focusField;
    m_prompter.message(text, core::promptCaption(), core::Prompter::Icon::Warning);
}

bool CDlgDynCtlFormBase::getValue(int index, QVariant& value)
{
    const FieldRecord& field = m_fields[index];
    const FieldEditor& editor = m_editors[index];
    switch (field.dataType) {
    case 0: {
        const QString text = editor.text.trimmed();
        bool ok = true;
        const double number = text.isEmpty() ? 0.0 : text.toDouble(&ok);
        if (!ok || !qIsFinite(number)) {
            showMessage(QStringLiteral("'%1'为数值类型!").arg(field.alias), index);
            return false;
        }
        value = number;
        return true;
    }
    case 2:
        value = editor.date.isValid() ? QVariant(QDateTime(editor.date, QTime(0, 0))) : QVariant();
        return true;
    case 4:
        if (editor.kind != EditorKind::Line) {
            value = editor.id;
            return true;
        }
        value = editor.text;
        return true;
    default:
        // Texts must fit their column; a longer text is refused rather than cut.
        if (field.length > 0 && editor.text.size() > field.length) {
            showMessage(
                QStringLiteral("'%1'的长度不能超过%2个字符!").arg(field.alias).arg(field.length),
                index);
            return false;
        }
        value = editor.text;
        return true;
    }
}

bool CDlgDynCtlFormBase::checkRequired()
{
    for (int i = 0; i < m_fields.size(); ++i) {
        const FieldRecord& field = m_fields[i];
        if (!field.required || field.dataType == 0)
            continue;
        QVariant value;
        if (!getValue(i, value))
            return false;
        bool missing = value.isNull() || !value.isValid();
        if (!missing) {
            switch (field.dataType) {
            case 2:
                missing = !value.toDateTime().date().isValid();
                break;
            case 4:
                missing = m_editors[i].kind != EditorKind::Line ? value.toInt() == 0
                                                                : value.toString().isEmpty();
                break;
            default:
                missing = value.toString().isEmpty();
                break;
            }
        }
        if (missing) {
            showMessage(QStringLiteral("'%1'为必填项!").arg(field.alias), i);
            return false;
        }
    }
    return true;
}

bool CDlgDynCtlFormBase::writeFields(db::CADORecordset& rs)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        QVariant value;
        if (!getValue(i, value))
            return false;
        const bool ok = value.isNull() ? rs.SetFieldValueNull(m_fields[i].name)
                                       : rs.SetFieldValue(m_fields[i].name, value);
        if (!ok)
            return false;
    }
    return true;
}

bool CDlgDynCtlFormBase::checkValues()
{
    m_focusField = -1;
    if (!checkRequired())
        return false;
    for (int i = 0; i < m_fields.size(); ++i) {
        QVariant value;
        if (!getValue(i, value))
            return false;
    }
    return true;
}

bool CDlgDynCtlFormBase::saveRecord()
{
    if (!checkValues())
        return false;
    db::CADORecordset rs(&m_app.database());
    const bool opened = rs.Open(QStringLiteral("SELECT %1 FROM %2 WHERE %3=%4")
                                    .arg(fieldList(), m_table, m_keyColumn)
                                    .arg(m_recordId));
    bool ok = opened;
    if (ok && m_addMode) {
        ok = rs.AddNew();
    } else if (ok) {
        if (rs.IsEOF()) {
            rs.Close();
            m_closeRequested = true;
            m_prompter.message(core::Catalog::deletedRowMessage(), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return false;
        }
        ok = rs.Edit();
    }
    ok = ok && writeFields(rs) && rs.Update();
    if (ok && m_addMode) {
        m_recordId = core::Catalog(m_app.database()).lastIdentity(m_table);
        ok = m_recordId > 0;
    }
    if (!ok) {
        rs.CancelUpdate();
        m_prompter.message(QStringLiteral("保存出错!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    m_modified = false;
    return true;
}

bool CDlgDynCtlFormBase::save()
{
    return saveRecord();
}

void CDlgDynCtlFormBase::clearForNext()
{
    m_recordId = 0;
    applyDefaults();
    m_focusField = firstEnabledField();
    m_modified = false;
}

bool CDlgDynCtlFormBase::leave()
{
    if (!m_modified)
        return true;
    if (m_prompter.askYesNo(QStringLiteral("内容已改变,保存数据吗?"), core::promptCaption(),
                            core::Prompter::Icon::Question) == core::Prompter::Answer::Yes)
        return save();
    return true;
}

bool CDlgDynCtlFormBase::stepTo(Step step)
{
    if (!canStep() || m_ownerGrid->rowCount() == 0)
        return false;
    const int count = m_ownerGrid->rowCount();
    const int current = m_ownerGrid->currentRow();
    int target = current;
    switch (step) {
    case Step::First:
        target = 0;
        break;
    case Step::Previous:
        target = current - 1;
        break;
    case Step::Next:
        target = current + 1;
        break;
    case Step::Last:
        target = count - 1;
        break;
    }
    if (target < 0 || target >= count || target == current)
        return false;
    if (m_modified &&
        m_prompter.askYesNo(QStringLiteral("内容已改变,保存数据吗?"), core::promptCaption(),
                            core::Prompter::Icon::Question) == core::Prompter::Answer::Yes &&
        !save())
        return false;
    m_ownerGrid->setCurrentRow(target);
    m_recordId = m_ownerGrid->cellInt(target, m_ownerKeyColumn);
    const bool loaded = load();
    m_focusField = firstEnabledField();
    return loaded;
}

} // namespace orvane::personnel
