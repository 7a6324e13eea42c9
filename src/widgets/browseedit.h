#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace orvane::widgets {

// Base of the pickers: a read-only text box showing the picked entry ("<请选择...>" while
// nothing is picked) and a button that opens the subclass's drop-down. F4 or Alt+Down open it
// from the keyboard; Delete clears the choice.
class BrowseEdit : public QWidget
{
    Q_OBJECT
public:
    explicit BrowseEdit(QWidget* parent = nullptr);

    int currentId() const { return m_id; }
    QString text() const { return m_text; }
    bool hasChoice() const { return !m_text.isEmpty() || m_id != 0; }
    // Shows a choice without announcing it (loading a record).
    void setChoice(int id, const QString& text);
    void clearChoice() { setChoice(0, QString()); }
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* dropButton() const { return m_button; }

    static QString emptyText();

signals:
    // The operator picked an entry (or cleared it).
    void choiceChanged(int id, const QString& text);

protected:
    // Opens the drop-down below the text box; a pick is reported through choose().
    virtual void openDropDown() = 0;
    void choose(int id, const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    QToolButton* m_button;
    int m_id = 0;
    QString m_text;
    bool m_readOnly = false;
};

} // namespace orvane::widgets
