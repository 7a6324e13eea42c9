#include "personnel/ui/dynctlformdialog.h"

#include "core/corvaneapp.h"
#include "core/ui/qtprompter.h"
#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/pickerlists.h"
#include "widgets/ceditbrowsectrlfromdb.h"
#include "widgets/ceditbrowsectrlpsn.h"
#include "widgets/ceditlblctl.h"
#include "widgets/cimageedit.h"
#include "widgets/optionaldateedit.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

namespace {

constexpr int kRowHeight = 30;
constexpr int kEditorWidth = 190;

widgets::CEditBrowseCtrlFromDB::Mode pickerMode(EditorKind kind)
{
    switch (kind) {
    case EditorKind::DepartmentPicker:
        return widgets::CEditBrowseCtrlFromDB::Mode::Department;
    case EditorKind::CategoryPicker:
        return widgets::CEditBrowseCtrlFromDB::Mode::Category;
    default:
        return widgets::CEditBrowseCtrlFromDB::Mode::Dictionary;
    }
}

} // namespace

DynCtlFormDialog::DynCtlFormDialog(CDlgDynCtlFormBase& form, core::Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), m_form(form), m_person(dynamic_cast<CDlgDynCtlFormForPsnbase*>(&form)),
      m_prompter(prompter), m_scroll(new QScrollArea(this))
{
    setObjectName(QStringLiteral("DynCtlFormDialog"));
    setWindowTitle(form.title());

    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const int count = int(form.fields().size());
    const int rows = (count + 1) / 2;
    for (int i = 0; i < count; ++i) {
        QWidget* editor = createEditor(i);
        m_editors << editor;
        auto* labelled = new widgets::CEditlblCtl(form.fields()[i].alias, editor,
                                                  form.fields()[i].required != 0, panel);
        labelled->setFixedHeight(kRowHeight - 4);
        labelled->setMinimumWidth(widgets::CEditlblCtl::LabelWidth + kEditorWidth);
        grid->addWidget(labelled, i / 2, i % 2);
    }
    grid->setRowStretch(rows, 1);
    m_scroll->setWidget(panel);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setMinimumHeight(qMin(rows + 1, 12) * kRowHeight);

    auto* body = new QHBoxLayout;
    body->addWidget(m_scroll, 1);
    if (m_person) {
        auto* side = new QVBoxLayout;
        m_photo = new widgets::CImageEdit(this);
        m_photo->setFixedWidth(140);
        m_photo->setFixedHeight(200);
        auto* card = new QPushButton(QStringLiteral("读身份证(&R)"), this);
        card->setObjectName(QStringLiteral("readCard"));
        card->setAutoDefault(false);
        side->addWidget(m_photo);
        side->addWidget(card);
        side->addStretch(1);
        body->addLayout(side);
        connect(m_photo, &widgets::CImageEdit::openRequested, this, &DynCtlFormDialog::choosePhoto);
        connect(m_photo, &widgets::CImageEdit::clearRequested, this, &DynCtlFormDialog::clearPhoto);
        connect(card, &QPushButton::clicked, this, &DynCtlFormDialog::readCard);
    }

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, bool (CDlgDynCtlFormBase::*)()> steps[] = {
        {"首笔", &CDlgDynCtlFormBase::stepFirst},
        {"上笔", &CDlgDynCtlFormBase::stepPrevious},
        {"下笔", &CDlgDynCtlFormBase::stepNext},
        {"末笔", &CDlgDynCtlFormBase::stepLast}};
    for (const auto& [text, command] : steps) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, command = command] { run(command); });
        m_stepButtons << b;
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    m_save = new QPushButton(QStringLiteral("保存(&S)"), this);
    m_save->setObjectName(QStringLiteral("save"));
    m_save->setAutoDefault(false);
    auto* leave = new QPushButton(QStringLiteral("退出(&C)"), this);
    leave->setObjectName(QStringLiteral("leave"));
    leave->setAutoDefault(false);
    buttons->addWidget(m_save);
    buttons->addWidget(leave);
    connect(m_save, &QPushButton::clicked, this, &DynCtlFormDialog::save);
    connect(leave, &QPushButton::clicked, this, &DynCtlFormDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_scroll->widget()->isAncestorOf(now))
            m_scroll->ensureWidgetVisible(now, 10, 10);
    });
    refreshEditors();
    afterCommand();
    resize(qMax(sizeHint().width(), 640), qMin(sizeHint().height() + 20, 620));
}

QWidget* DynCtlFormDialog::createEditor(int field)
{
    const FieldRecord& record = m_form.fields()[field];
    const FieldEditor& state = m_form.editors()[field];
    switch (state.kind) {
    case EditorKind::Date: {
        auto* edit = new widgets::OptionalDateEdit;
        connect(edit, &widgets::OptionalDateEdit::dateChanged, this, [this, field](const QDate& d) {
            if (!m_refreshing)
                m_form.setDate(field, d);
        });
        return edit;
    }
    case EditorKind::DictionaryPicker:
    case EditorKind::DepartmentPicker:
    case EditorKind::CategoryPicker: {
        auto* edit = new widgets::CEditBrowseCtrlFromDB(pickerMode(state.kind));
        edit->setNodes(state.nodes);
        connect(edit, &widgets::BrowseEdit::choiceChanged, this,
                [this, field](int id, const QString& text) {
                    if (!m_refreshing)
                        m_form.setChoice(field, id, text);
                });
        return edit;
    }
    case EditorKind::PersonPicker: {
        auto* edit = new widgets::CEditBrowseCtrlPSN;
        core::COrvaneApp& app = m_form.app();
        edit->setRows(PickerLists(app.database(), app.currentOperator()).persons(0));
        connect(edit, &widgets::BrowseEdit::choiceChanged, this,
                [this, field](int id, const QString& text) {
                    if (!m_refreshing)
                        m_form.setChoice(field, id, text);
                });
        return edit;
    }
    case EditorKind::Line:
        break;
    }
    auto* edit = new QLineEdit;
    if (record.length > 0 && record.dataType != 0)
        edit->setMaxLength(record.length);
    if (record.dataType == 0)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        if (!m_refreshing)
            m_form.setText(field, text);
    });
    return edit;
}

void DynCtlFormDialog::refreshEditors()
{
    m_refreshing = true;
    for (int i = 0; i < m_editors.size(); ++i) {
        const FieldEditor& state = m_form.editors()[i];
        QWidget* widget = m_editors[i];
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            if (line->text() != state.text)
                line->setText(state.text);
            line->setReadOnly(!state.enabled);
            line->setEnabled(state.enabled);
        } else if (auto* date = qobject_cast<widgets::OptionalDateEdit*>(widget)) {
            date->setDate(state.date);
            date->setEnabled(state.enabled);
        } else if (auto* tree = qobject_cast<widgets::CEditBrowseCtrlFromDB*>(widget)) {
            tree->setNodes(state.nodes);
            tree->setChoice(state.id, state.text);
            tree->setReadOnly(!state.enabled);
            tree->setEnabled(state.enabled);
        } else if (auto* person = qobject_cast<widgets::BrowseEdit*>(widget)) {
            person->setChoice(state.id, state.text);
            person->setEnabled(state.enabled);
        }
    }
    if (m_photo)
        m_photo->setImageBytes(m_person->photo());
    m_refreshing = false;
}

void DynCtlFormDialog::afterCommand()
{
    setWindowTitle(m_form.title());
    for (QPushButton* b : m_stepButtons)
        b->setEnabled(m_form.canStep());
    const int focus = m_form.focusField();
    if (focus >= 0 && focus < m_editors.size()) {
        m_editors[focus]->setFocus();
        m_scroll->ensureWidgetVisible(m_editors[focus]);
    }
    if (m_form.closeRequested())
        QDialog::reject();
}

void DynCtlFormDialog::run(bool (CDlgDynCtlFormBase::*command)())
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    (m_form.*command)();
    refreshEditors();
    afterCommand();
}

void DynCtlFormDialog::save()
{
    run(&CDlgDynCtlFormBase::save);
}

void DynCtlFormDialog::choosePhoto()
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    const QString path = m_prompter.openFileName(
        QStringLiteral("选择照片"), QString(),
        QStringLiteral("图片文件 (*.jpg *.jpeg *.gif *.bmp *.png);;所有文件 (*)"));
    if (!path.isEmpty() && m_person->loadPhotoFile(path))
        m_photo->setImageBytes(m_person->photo());
}

void DynCtlFormDialog::clearPhoto()
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    if (m_person->clearPhoto())
        m_photo->clearImage();
}

void DynCtlFormDialog::readCard()
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    if (m_person->readCard())
        refreshEditors();
}

void DynCtlFormDialog::reject()
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    if (!m_form.leave())
        return;
    if (m_person)
        m_person->cancel();
    QDialog::reject();
}

void DynCtlFormDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        run(&CDlgDynCtlFormBase::stepPrevious);
        return;
    case Qt::Key_PageDown:
        run(&CDlgDynCtlFormBase::stepNext);
        return;
    case Qt::Key_Home:
        if (m_person) {
            run(&CDlgDynCtlFormBase::stepFirst);
            return;
        }
        break;
    case Qt::Key_End:
        if (m_person) {
            run(&CDlgDynCtlFormBase::stepLast);
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

} // namespace orvane::personnel::ui
