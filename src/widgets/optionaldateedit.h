#pragma once

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

namespace orvane::widgets {

// A date editor that may hold no date: a check box in front of the date field. Unchecked means
// empty (date() returns an invalid QDate).
class OptionalDateEdit : public QWidget
{
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget* parent = nullptr);

    QDate date() const;
    void setDate(const QDate& date);
    QCheckBox* checkBox() const { return m_check; }
    QDateEdit* dateEdit() const { return m_edit; }

signals:
    void dateChanged(const QDate& date);

private:
    QCheckBox* m_check;
    QDateEdit* m_edit;
};

} // namespace orvane::widgets
