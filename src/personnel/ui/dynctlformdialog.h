#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
class QScrollArea;

namespace orvane::core {
class Prompter;
}
namespace orvane::widgets {
class CImageEdit;
}

namespace orvane::personnel {
class CDlgDynCtlFormBase;
class CDlgDynCtlFormForPsnbase;
} // namespace orvane::personnel

namespace orvane::personnel::ui {

// The window of the record form: the labelled editors of CDlgDynCtlFormBase in two columns in a
// scrolling panel, the record-stepping buttons, "保存(&S)" and "退出(&C)"; for persons also the
// photo and the read-card button. Every change goes to the workflow, which the window mirrors.
class DynCtlFormDialog : public QDialog
{
public:
    DynCtlFormDialog(CDlgDynCtlFormBase& form, core::Prompter& prompter, QWidget* parent = nullptr);

    // The editor widget of a field (tests and screenshots).
    QWidget* editor(int field) const { return m_editors.value(field); }
    QPushButton* saveButton() const { return m_save; }
    widgets::CImageEdit* photo() const { return m_photo; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* createEditor(int field);
    void refreshEditors();
    void afterCommand();
    void run(bool (CDlgDynCtlFormBase::*command)());
    void save();
    void choosePhoto();
    void clearPhoto();
    void readCard();

    CDlgDynCtlFormBase& m_form;
    CDlgDynCtlFormForPsnbase* m_person;
    core::Prompter& m_prompter;
    QScrollArea* m_scroll;
    QList<QWidget*> m_editors;
    QList<QPushButton*> m_stepButtons;
    QPushButton* m_save;
    widgets::CImageEdit* m_photo = nullptr;
    bool m_refreshing = false;
};

} // namespace orvane::personnel::ui
