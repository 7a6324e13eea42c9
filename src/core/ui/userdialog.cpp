#include "core/ui/userdialog.h"

#include "core/cdlguser.h"
#include "core/rightstable.h"
#include "core/ui/qtprompter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::core::ui {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kCheckColumn = 1;

Qt::CheckState checkState(bool checked)
{
    return checked ? Qt::Checked : Qt::Unchecked;
}

QTreeWidgetItem* checkItem(const QString& name, int key, bool checked)
{
    auto* item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kKeyRole, key);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(kCheckColumn, checkState(checked));
    return item;
}

void addDepartments(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<DeptNode>& nodes,
                    const CDLGUser& editor)
{
    for (const DeptNode& node : nodes) {
        QTreeWidgetItem* item =
            checkItem(node.name, node.did, editor.isDepartmentChecked(node.did));
        if (parent)
            parent->addChild(item);
        else
            tree->addTopLevelItem(item);
        addDepartments(item, tree, node.children, editor);
    }
}

} // namespace

UserDialog::UserDialog(CDLGUser& editor, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_prompter(prompter)
{
    setObjectName(QStringLiteral("UserDialog"));
    setWindowTitle(editor.caption());

    m_name = new QLineEdit(editor.userName(), this);
    m_name->setObjectName(QStringLiteral("userName"));
    m_name->setMaxLength(50);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_confirmation = new QLineEdit(this);
    m_confirmation->setObjectName(QStringLiteral("confirmation"));
    m_confirmation->setEchoMode(QLineEdit::Password);
    if (!editor.isNew()) {
        m_password->setPlaceholderText(QStringLiteral("不修改请留空"));
        m_confirmation->setPlaceholderText(QStringLiteral("不修改请留空"));
    }
    m_locked = new QCheckBox(QStringLiteral("锁定该用户(&L)"), this);
    m_locked->setObjectName(QStringLiteral("locked"));
    m_locked->setChecked(editor.locked());
    m_description = new QLineEdit(editor.description(), this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setMaxLength(100);

    auto* basics = new QGroupBox(QStringLiteral("用户信息"), this);
    auto* form = new QGridLayout(basics);
    auto label = [basics](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, basics);
        l->setBuddy(buddy);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    form->addWidget(label(QStringLiteral("用户名称(&N)："), m_name), 0, 0);
    form->addWidget(m_name, 0, 1);
    form->addWidget(m_locked, 0, 3);
    form->addWidget(label(QStringLiteral("密码(&P)："), m_password), 1, 0);
    form->addWidget(m_password, 1, 1);
    form->addWidget(label(QStringLiteral("确认密码(&C)："), m_confirmation), 1, 2);
    form->addWidget(m_confirmation, 1, 3);
    form->addWidget(label(QStringLiteral("说明(&D)："), m_description), 2, 0);
    form->addWidget(m_description, 2, 1, 1, 3);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    const bool super = editor.isSuper();
    // Each page says what its ticks mean; Space ticks the focused entry.
    m_pages->addTab(
        page(buildRightsPage(),
             super ? QStringLiteral("超级用户拥有全部功能权限。")
                   : QStringLiteral("至少勾选一项功能。勾选某项功能时其所属分组一并勾选。")),
        QStringLiteral("功能权限"));
    m_categories = buildCheckList({QStringLiteral("人员类别"), QStringLiteral("权限")});
    m_pages->addTab(
        page(m_categories,
             super ? QStringLiteral("超级用户可查看全部人员类别。")
                   : QStringLiteral("至少勾选一个人员类别；该用户只能查看勾选的类别中的人员。")),
        QStringLiteral("人员类别权限"));
    m_departments = buildCheckList({QStringLiteral("部门"), QStringLiteral("权限")});
    m_pages->addTab(
        page(m_departments,
             super ? QStringLiteral("超级用户可查看全部部门。")
                   : QStringLiteral("至少勾选一个部门；勾选上级部门时其下级部门一并勾选。")),
        QStringLiteral("部门权限"));
    m_wageSorts = buildCheckList({QStringLiteral("薪资类别"), QStringLiteral("权限")});
    m_pages->addTab(
        page(m_wageSorts, super ? QStringLiteral("超级用户可使用全部薪资类别。")
                                : QStringLiteral("可以不勾选；该用户只能使用勾选的薪资类别。")),
        QStringLiteral("薪资类别权限"));
    fillPages();
    for (QTreeWidget* tree : {m_rights, m_categories, m_departments, m_wageSorts}) {
        tree->installEventFilter(this);
        tree->setEnabled(!super);
    }
    followTicks(
        m_departments, [this](int did) { return m_editor.isDepartmentChecked(did); },
        [this](int did) { m_editor.toggleDepartment(did); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &UserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UserDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(basics);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    setTabOrder(m_name, m_locked);
    setTabOrder(m_locked, m_password);
    setTabOrder(m_password, m_confirmation);
    setTabOrder(m_confirmation, m_description);
    setTabOrder(m_description, m_pages);
    resize(620, 560);
    m_name->setFocus();
}

QWidget* UserDialog::buildRightsPage()
{
    m_rights = new QTreeWidget(this);
    m_rights->setObjectName(QStringLiteral("rights"));
    m_rights->setHeaderLabels({QStringLiteral("功能"), QStringLiteral("权限"),
                               QStringLiteral("说明"), QStringLiteral("标识")});
    m_rights->setColumnHidden(3, true);
    m_rights->setAlternatingRowColors(true);
    m_rights->setUniformRowHeights(true);

    QTreeWidgetItem* group = nullptr;
    for (const RightEntry& entry : RightsTable::entries()) {
        auto* item =
            new QTreeWidgetItem(QStringList{entry.nameText(), QString(), entry.descriptionText(),
                                            QString::number(entry.mask(), 16)});
        item->setData(0, kKeyRole, entry.index);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kCheckColumn, checkState(m_editor.isRightChecked(entry.index)));
        if (RightsTable::isGroup(entry.index)) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            m_rights->addTopLevelItem(item);
            group = item;
        } else if (group) {
            group->addChild(item);
        }
    }
    m_rights->expandAll();
    m_rights->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_rights->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    m_rights->header()->resizeSection(1, 56);
    m_rights->header()->setStretchLastSection(false);
    m_rights->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    followTicks(
        m_rights, [this](int index) { return m_editor.isRightChecked(index); },
        [this](int index) { m_editor.toggleRight(index); });
    return m_rights;
}

QWidget* UserDialog::page(QWidget* content, const QString& note)
{
    auto* widget = new QWidget(this);
    auto* layout = new QVBoxLayout(widget);
    auto* label = new QLabel(note, widget);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return widget;
}

void UserDialog::showPageOf(QWidget* content)
{
    m_pages->setCurrentWidget(content->parentWidget());
}

bool UserDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* tree = qobject_cast<QTreeWidget*>(watched);
    if (tree && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        // Space ticks the focused entry whichever column holds the focus.
        if (QTreeWidgetItem* item = tree->currentItem()) {
            const bool checked = item->checkState(kCheckColumn) == Qt::Checked;
            item->setCheckState(kCheckColumn, checkState(!checked));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QTreeWidget* UserDialog::buildCheckList(const QStringList& headers)
{
    auto* tree = new QTreeWidget(this);
    tree->setHeaderLabels(headers);
    tree->setAlternatingRowColors(true);
    tree->setUniformRowHeights(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tree->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    tree->header()->resizeSection(1, 56);
    return tree;
}

void UserDialog::fillPages()
{
    m_categories->setObjectName(QStringLiteral("categories"));
    m_categories->setRootIsDecorated(false);
    for (const KeyedName& c : m_editor.categoryChoices())
        m_categories->addTopLevelItem(checkItem(c.name, c.key, m_editor.isCategoryChecked(c.key)));
    m_departments->setObjectName(QStringLiteral("departments"));
    addDepartments(nullptr, m_departments, m_editor.departmentChoices(), m_editor);
    m_departments->expandAll();
    m_wageSorts->setObjectName(QStringLiteral("wageSorts"));
    m_wageSorts->setRootIsDecorated(false);
    for (const KeyedName& s : m_editor.wageSortChoices())
        m_wageSorts->addTopLevelItem(checkItem(s.name, s.key, m_editor.isWageSortChecked(s.key)));
}

void UserDialog::followTicks(QTreeWidget* tree, const std::function<bool(int)>& isChecked,
                             const std::function<void(int)>& toggle)
{
    // A tick goes to the editor, which may change other entries; the tree then shows them all.
    connect(tree, &QTreeWidget::itemChanged, this, [=, this](QTreeWidgetItem* item, int column) {
        if (m_syncing || column != kCheckColumn)
            return;
        const int key = item->data(0, kKeyRole).toInt();
        if ((item->checkState(kCheckColumn) == Qt::Checked) != isChecked(key))
            toggle(key);
        m_syncing = true;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            (*it)->setCheckState(kCheckColumn,
                                 checkState(isChecked((*it)->data(0, kKeyRole).toInt())));
        m_syncing = false;
    });
}

void UserDialog::accept()
{
    m_editor.setUserName(m_name->text());
    m_editor.setPassword(m_password->text());
    m_editor.setConfirmation(m_confirmation->text());
    m_editor.setLocked(m_locked->isChecked());
    m_editor.setDescription(m_description->text());
    for (QTreeWidgetItemIterator it(m_categories); *it; ++it)
        m_editor.setCategoryChecked((*it)->data(0, kKeyRole).toInt(),
                                    (*it)->checkState(kCheckColumn) == Qt::Checked);
    for (QTreeWidgetItemIterator it(m_departments); *it; ++it)
        m_editor.setDepartmentChecked((*it)->data(0, kKeyRole).toInt(),
                                      (*it)->checkState(kCheckColumn) == Qt::Checked);
    for (QTreeWidgetItemIterator it(m_wageSorts); *it; ++it)
        m_editor.setWageSortChecked((*it)->data(0, kKeyRole).toInt(),
                                    (*it)->checkState(kCheckColumn) == Qt::Checked);

    PrompterParentScope scope(m_prompter, this);
    if (m_editor.accept()) {
        QDialog::accept();
        return;
    }
    QLineEdit* edit = nullptr;
    switch (m_editor.focusField()) {
    case CDLGUser::Field::UserName:
        edit = m_name;
        break;
    case CDLGUser::Field::Password:
        edit = m_password;
        break;
    case CDLGUser::Field::Confirmation:
        edit = m_confirmation;
        break;
    case CDLGUser::Field::Rights:
        showPageOf(m_rights);
        break;
    case CDLGUser::Field::Categories:
        showPageOf(m_categories);
        break;
    case CDLGUser::Field::Departments:
        showPageOf(m_departments);
        break;
    case CDLGUser::Field::None:
        break;
    }
    if (edit) {
        edit->setFocus();
        edit->selectAll();
    }
}

} // namespace orvane::core::ui
