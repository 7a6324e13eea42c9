#include "core/cdlguser.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/passwordhash.h"
#include "core/prompter.h"
#include "core/purview.h"
#include "core/rightstable.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadorecordset.h"

#include <QStringList>

namespace orvane::core {

namespace {

void appendCheckedDepartments(const QList<DeptNode>& nodes, const QSet<int>& checked,
                              QStringList& out)
{
    for (const DeptNode& node : nodes) {
        if (checked.contains(node.did))
            out << QString::number(node.did);
        appendCheckedDepartments(node.children, checked, out);
    }
}

void tickDepartments(const QList<DeptNode>& nodes, const QString& permitted, QSet<int>& checked)
{
    for (const DeptNode& node : nodes) {
        if (keyInList(permitted, node.did))
            checked.insert(node.did);
        tickDepartments(node.children, permitted, checked);
    }
}

QString checkedKeys(const QList<KeyedName>& choices, const QSet<int>& checked)
{
    QStringList keys;
    for (const KeyedName& choice : choices) {
        if (checked.contains(choice.key))
            keys << QString::number(choice.key);
    }
    return keys.join(QLatin1Char(','));
}

} // namespace

CDLGUser::CDLGUser(COrvaneApp& app, Prompter& prompter) : m_app(app), m_prompter(prompter) {}

CDLGUser::CDLGUser(COrvaneApp& app, Prompter& prompter, const OperatorEntry& entry)
    : m_app(app), m_prompter(prompter), m_userId(entry.UserID), m_super(entry.ISuper),
      m_original(entry), m_originalName(entry.UserName), m_originalPurview(entry.Purview),
      m_userName(entry.UserName), m_locked(entry.Locked), m_description(entry.Descr)
{
}

QString CDLGUser::caption() const
{
    return isNew() ? QStringLiteral("新增用户") : QStringLiteral("修改用户 *");
}

void CDLGUser::open()
{
    db::CADODatabase& database = m_app.database();
    const CatalogLists lists(database);
    m_categories = lists.categories();
    m_wageSorts = lists.wageSorts();
    m_departments = lists.departmentTree(
        QStringLiteral("SELECT DID,ParentID,Name FROM qp_Dept WHERE ParentID=%1 ORDER BY ord"),
        std::nullopt);

    m_rights.fill(false);
    m_checkedCategories.clear();
    m_checkedDepartments.clear();
    m_checkedWageSorts.clear();
    if (isNew())
        return;
    if (m_super) {
        // A super user holds every right and sees everything, whatever his rights text says.
        m_rights.fill(true);
        for (const KeyedName& category : m_categories)
            m_checkedCategories.insert(category.key);
        setDepartmentChecked(m_departments, true);
        for (const KeyedName& sort : m_wageSorts)
            m_checkedWageSorts.insert(sort.key);
        return;
    }

    const Purview purview = Purview::parse(m_originalPurview);
    for (const RightEntry& entry : RightsTable::entries())
        m_rights[std::size_t(entry.index)] = (purview.rightsMask & entry.mask()) != 0;
    for (const KeyedName& category : m_categories) {
        if (keyInList(purview.categories, category.key))
            m_checkedCategories.insert(category.key);
    }
    tickDepartments(m_departments, purview.departments, m_checkedDepartments);
    for (const KeyedName& sort : m_wageSorts) {
        if (keyInList(purview.wageSorts, sort.key))
            m_checkedWageSorts.insert(sort.key);
    }
}

bool CDLGUser::isRightChecked(int index) const
{
    return index >= 0 && index < RightsTable::Count && m_rights[std::size_t(index)];
}

void CDLGUser::setRightChecked(int index, bool checked)
{
    if (index >= 0 && index < RightsTable::Count)
        m_rights[std::size_t(index)] = checked;
}

void CDLGUser::toggleRight(int index)
{
    if (index < 0 || index >= RightsTable::Count)
        return;
    const bool checked = !m_rights[std::size_t(index)];
    m_rights[std::size_t(index)] = checked;
    if (!RightsTable::isGroup(index)) {
        // A member's right is reachable only through its group: ticking it ticks the group.
        if (checked)
            m_rights[std::size_t(RightsTable::groupOf(index))] = true;
        return;
    }
    for (const RightEntry& entry : RightsTable::entries()) {
        if (RightsTable::groupOf(entry.index) == index)
            m_rights[std::size_t(entry.index)] = checked;
    }
}

quint64 CDLGUser::checkedRightsMask() const
{
    quint64 mask = 0;
    for (const RightEntry& entry : RightsTable::entries()) {
        if (m_rights[std::size_t(entry.index)])
            mask |= entry.mask();
    }
    return mask;
}

void CDLGUser::setCategoryChecked(int aid, bool checked)
{
    if (checked)
        m_checkedCategories.insert(aid);
    else
        m_checkedCategories.remove(aid);
}

void CDLGUser::setDepartmentChecked(int did, bool checked)
{
    if (checked)
        m_checkedDepartments.insert(did);
    else
        m_checkedDepartments.remove(did);
}

void CDLGUser::setWageSortChecked(int id, bool checked)
{
    if (checked)
        m_checkedWageSorts.insert(id);
    else
        m_checkedWageSorts.remove(id);
}

void CDLGUser::setDepartmentChecked(const QList<DeptNode>& nodes, bool checked)
{
    for (const DeptNode& node : nodes) {
        setDepartmentChecked(node.did, checked);
        setDepartmentChecked(node.children, checked);
    }
}

bool CDLGUser::toggleDepartment(const QList<DeptNode>& nodes, int did)
{
    for (const DeptNode& node : nodes) {
        if (node.did == did) {
            const bool checked = !isDepartmentChecked(did);
            setDepartmentChecked(did, checked);
            setDepartmentChecked(node.children, checked);
            return true;
        }
        if (toggleDepartment(node.children, did)) {
            // The path down to a ticked department is ticked with it.
            if (isDepartmentChecked(did))
                setDepartmentChecked(node.did, true);
            return true;
        }
    }
    return false;
}

void CDLGUser::toggleDepartment(int did)
{
    toggleDepartment(m_departments, did);
}

QString CDLGUser::checkedCategoryKeys() const
{
    return checkedKeys(m_categories, m_checkedCategories);
}

QString CDLGUser::checkedDepartmentKeys() const
{
    QStringList keys;
    appendCheckedDepartments(m_departments, m_checkedDepartments, keys);
    return keys.join(QLatin1Char(','));
}

QString CDLGUser::checkedWageSortKeys() const
{
    return checkedKeys(m_wageSorts, m_checkedWageSorts);
}

bool CDLGUser::refuse(const QString& text, Field focus)
{
    m_focus = focus;
    m_prompter.message(text, promptCaption(), Prompter::Icon::Warning);
    return false;
}

bool CDLGUser::accept()
{
    m_focus = Field::None;
    // The login trims the name and drops ';' and ',', so such a name could never log in.
    m_userName = m_userName.trimmed();
    if (m_userName.isEmpty())
        return refuse(QStringLiteral("错误：用户名称不能为空值 !!!"), Field::UserName);
    if (m_userName.contains(QLatin1Char(';')) || m_userName.contains(QLatin1Char(',')))
        return refuse(QStringLiteral("错误：用户名称不能包含';'或','!"), Field::UserName);

    if (isNew() || m_userName != m_originalName) {
        // LIKE on purpose: the name is compared as a pattern, without regard to case.
        const QString sql =
            QStringLiteral("SELECT UserID FROM qp_Users WHERE  UPPER(UserName) LIKE '%1'")
                .arg(sqlEscape(m_userName.toUpper()));
        db::CADORecordset rs(&m_app.database());
        if (rs.Open(sql) && !rs.IsEOF())
            return refuse(QStringLiteral("错误：该用户已存在!"), Field::UserName);
    }

    const bool newPassword = isNew() || !m_password.isEmpty();
    if (newPassword) {
        if (m_password.isEmpty())
            return refuse(QStringLiteral("错误：密码不能为空值!!!"), Field::Password);
        if (m_password != m_confirmation)
            return refuse(QStringLiteral("错误：密码与密码确认不一致!!!"), Field::Confirmation);
    }
    const QString hash = newPassword ? passwordHash(m_password) : QString();

    // A super user's lists do not limit him, so they need no entry.
    const quint64 mask = checkedRightsMask();
    if (mask == 0 && !m_super)
        return refuse(QStringLiteral("至少选择一项功能权限!"), Field::Rights);
    const QString categories = checkedCategoryKeys();
    if (categories.isEmpty() && !m_super)
        return refuse(QStringLiteral("至少选择一个人员类别!"), Field::Categories);
    const QString departments = checkedDepartmentKeys();
    if (departments.isEmpty() && !m_super)
        return refuse(QStringLiteral("至少选择一个部门!"), Field::Departments);

    // A super user's rights text is kept as it is: the editor shows it all ticked, but cannot
    // change what it grants.
    Purview purview = Purview::parse(m_originalPurview);
    if (!m_super) {
        purview.rightsMask = mask;
        purview.categories = categories;
        purview.departments = departments;
        purview.wageSorts = checkedWageSortKeys();
    }
    const QString changes = isNew() ? QString() : changeList(!hash.isEmpty(), purview);
    if (!store(hash, m_super ? m_originalPurview : purview.toString()))
        return false;

    QString line = QStringLiteral("系统管理[%1操作用户'%2'")
                       .arg(isNew() ? QStringLiteral("新增") : QStringLiteral("修改"), m_userName);
    if (!changes.isEmpty())
        line += QStringLiteral("：") + changes;
    AddSystemLog(m_app, line + QLatin1Char(']'));
    return true;
}

QString CDLGUser::changeList(bool passwordChanged, const Purview& purview) const
{
    const Purview before = Purview::parse(m_originalPurview);
    QStringList changes;
    if (m_userName != m_original.UserName)
        changes << QStringLiteral("原名称'%1'").arg(m_original.UserName);
    if (passwordChanged)
        changes << QStringLiteral("密码");
    if (m_locked != m_original.Locked)
        changes << (m_locked ? QStringLiteral("锁定") : QStringLiteral("解除锁定"));
    if (m_description != m_original.Descr)
        changes << QStringLiteral("说明");
    if (purview.rightsMask != before.rightsMask)
        changes << QStringLiteral("功能权限");
    if (purview.categories != before.categories)
        changes << QStringLiteral("人员类别权限");
    if (purview.departments != before.departments)
        changes << QStringLiteral("部门权限");
    if (purview.wageSorts != before.wageSorts)
        changes << QStringLiteral("薪资类别权限");
    return changes.join(QStringLiteral("、"));
}

bool CDLGUser::store(const QString& pwdHash, const QString& purview)
{
    db::CADORecordset rs(&m_app.database());
    if (isNew()) {
        if (!rs.Open(QStringLiteral("SELECT UserName,Pwd,Locked,Descr,Purview FROM qp_Users")) ||
            !rs.AddNew()) {
            m_prompter.message(QStringLiteral("打开数据库出错!"), promptCaption(),
                               Prompter::Icon::Error);
            return false;
        }
    } else {
        if (!rs.Open(QStringLiteral(
                         "SELECT UserName,Pwd,Locked,Descr,Purview FROM qp_Users WHERE UserID=%1")
                         .arg(m_userId))) {
            m_prompter.message(QStringLiteral("打开数据库出错!"), promptCaption(),
                               Prompter::Icon::Error);
            return false;
        }
        if (rs.IsEOF()) {
            m_prompter.message(Catalog::deletedRowMessage(), promptCaption(),
                               Prompter::Icon::Warning);
            return false;
        }
        rs.Edit();
    }
    rs.SetFieldValue(QStringLiteral("UserName"), m_userName);
    if (isNew() || !pwdHash.isEmpty())
        rs.SetFieldValue(QStringLiteral("Pwd"), pwdHash);
    rs.SetFieldValue(QStringLiteral("Locked"), m_locked ? 1 : 0);
    rs.SetFieldValue(QStringLiteral("Descr"), m_description);
    rs.SetFieldValue(QStringLiteral("Purview"), purview);
    if (!rs.Update()) {
        m_prompter.message(QStringLiteral("保存操作员失败!"), promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    m_originalName = m_userName;
    m_originalPurview = purview;
    return true;
}

} // namespace orvane::core
