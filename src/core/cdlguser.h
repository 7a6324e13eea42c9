#pragma once

#include "core/cataloglists.h"
#include "core/purview.h"

#include <QList>
#include <QSet>
#include <QString>

#include <array>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// One operator as the operator list shows it (the columns of qp_SelectSystemUsers).
struct OperatorEntry
{
    int UserID = 0;
    QString UserName;
    bool Locked = false;
    QString Descr;
    QString Purview;
    bool ISuper = false;
};

// The operator editor: name, password, lock and description, the rights tree and the three
// permission pages (categories, departments, wage sorts). accept() runs every check in order and
// stores the operator; on a refused check the editor stays open with focusField() set.
class CDLGUser
{
public:
    // Where the operator has to correct a refused entry.
    enum class Field { None, UserName, Password, Confirmation, Rights, Categories, Departments };

    // A new operator.
    CDLGUser(COrvaneApp& app, Prompter& prompter);
    // Changing an existing operator.
    CDLGUser(COrvaneApp& app, Prompter& prompter, const OperatorEntry& entry);

    // Reads the permission pages and ticks the boxes from the operator's rights record.
    void open();

    bool isNew() const { return m_userId == 0; }
    // A super user: every box is ticked and the lists need no entry.
    bool isSuper() const { return m_super; }
    int userId() const { return m_userId; }
    QString caption() const;

    QString userName() const { return m_userName; }
    void setUserName(const QString& name) { m_userName = name; }
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    QString confirmation() const { return m_confirmation; }
    void setConfirmation(const QString& text) { m_confirmation = text; }
    bool locked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    QString description() const { return m_description; }
    void setDescription(const QString& text) { m_description = text; }

    // Rights tree (indexes of the rights table). Toggling a group entry gives all its members
    // the group's new state; ticking a member ticks its group.
    bool isRightChecked(int index) const;
    void setRightChecked(int index, bool checked);
    void toggleRight(int index);
    quint64 checkedRightsMask() const;

    // Permission pages.
    const QList<KeyedName>& categoryChoices() const { return m_categories; }
    const QList<DeptNode>& departmentChoices() const { return m_departments; }
    const QList<KeyedName>& wageSortChoices() const { return m_wageSorts; }
    bool isCategoryChecked(int aid) const { return m_checkedCategories.contains(aid); }
    void setCategoryChecked(int aid, bool checked);
    bool isDepartmentChecked(int did) const { return m_checkedDepartments.contains(did); }
    void setDepartmentChecked(int did, bool checked);
    // Toggles a department with its whole subtree; ticking one ticks the path above it.
    void toggleDepartment(int did);
    bool isWageSortChecked(int id) const { return m_checkedWageSorts.contains(id); }
    void setWageSortChecked(int id, bool checked);

    // The OK button: true when the operator was stored and logged (the editor closes).
    bool accept();
    Field focusField() const { return m_focus; }

private:
    bool refuse(const QString& text, Field focus);
    // The ticked keys in the order of the page, joined by ','.
    QString checkedCategoryKeys() const;
    QString checkedDepartmentKeys() const;
    QString checkedWageSortKeys() const;
    bool store(const QString& pwdHash, const QString& purview);
    // What a change alters, for the log line ("密码、功能权限").
    QString changeList(bool passwordChanged, const Purview& purview) const;
    void setDepartmentChecked(const QList<DeptNode>& nodes, bool checked);
    bool toggleDepartment(const QList<DeptNode>& nodes, int did);

    COrvaneApp& m_app;
    Prompter& m_prompter;
    int m_userId = 0;
    bool m_super = false;
    OperatorEntry m_original;
    QString m_originalName;
    QString m_originalPurview;
    QString m_userName;
    QString m_password;
    QString m_confirmation;
    bool m_locked = false;
    QString m_description;
    std::array<bool, 39> m_rights{};
    QList<KeyedName> m_categories;
    QList<DeptNode> m_departments;
    QList<KeyedName> m_wageSorts;
    QSet<int> m_checkedCategories;
    QSet<int> m_checkedDepartments;
    QSet<int> m_checkedWageSorts;
    Field m_focus = Field::None;
};

} // namespace orvane::core
