#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvane::core {
class CDLGUser;
class Prompter;
} // namespace orvane::core

namespace orvane::core::ui {

// The operator editor window: shows a CDLGUser and forwards the operator's input to it.
class UserDialog : public QDialog
{
public:
    UserDialog(CDLGUser& editor, Prompter& prompter, QWidget* parent = nullptr);

    void accept() override;

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* passwordEdit() const { return m_password; }
    QLineEdit* confirmationEdit() const { return m_confirmation; }
    QCheckBox* lockedBox() const { return m_locked; }
    QLineEdit* descriptionEdit() const { return m_description; }
    QTreeWidget* rightsTree() const { return m_rights; }
    QTreeWidget* categoryList() const { return m_categories; }
    QTreeWidget* departmentTree() const { return m_departments; }
    QTreeWidget* wageSortList() const { return m_wageSorts; }
    QTabWidget* pages() const { return m_pages; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildRightsPage();
    QTreeWidget* buildCheckList(const QStringList& headers);
    void fillPages();
    // Forwards the tree's ticks to the editor and shows every entry's state afterwards.
    void followTicks(QTreeWidget* tree, const std::function<bool(int)>& isChecked,
                     const std::function<void(int)>& toggle);
    // A tab page holding `content` under a line that explains it.
    QWidget* page(QWidget* content, const QString& note);
    void showPageOf(QWidget* content);

    CDLGUser& m_editor;
    Prompter& m_prompter;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QLineEdit* m_confirmation;
    QCheckBox* m_locked;
    QLineEdit* m_description;
    QTabWidget* m_pages;
    QTreeWidget* m_rights;
    QTreeWidget* m_categories;
    QTreeWidget* m_departments;
    QTreeWidget* m_wageSorts;
    bool m_syncing = false;
};

} // namespace orvane::core::ui
