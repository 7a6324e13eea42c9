#pragma once

#include "core/cdlgdbconnect.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::core::ui {

// The connection settings window over CDlgDBConnect.
class DBConnectDialog : public QDialog
{
    Q_OBJECT
public:
    DBConnectDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent = nullptr);

    CDlgDBConnect& workflow() { return m_connect; }

public slots:
    void accept() override;

private:
    void pullFields();
    void showFields();
    void updateEnabled();

    Prompter& m_prompter;
    CDlgDBConnect m_connect;
    QLineEdit* m_serverEdit = nullptr;
    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QRadioButton* m_integrated = nullptr;
    QRadioButton* m_login = nullptr;
};

} // namespace orvane::core::ui
