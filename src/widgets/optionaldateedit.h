#pragma once

#include <QDate>
#include <QWidget>

class QDateEdit;
class QToolButton;

namespace orvane::widgets {

// A date editor that can also hold no date: the field is blank until a date is picked from the
// calendar or typed, and the small clear button empties it again. date() is a null QDate when
// empty.
class OptionalDateEdit : public QWidget
{
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget* parent = nullptr);

    QDate date() const;
    // A null or invalid date empties the editor.
    void setDate(const QDate& date);
    bool isEmpty() const { return !date().isValid(); }
    void clear() { setDate(QDate()); }
    void setReadOnly(bool readOnly);

    QDateEdit* dateEdit() const { return m_edit; }

signals:
    void dateChanged(const QDate& date);

private:
    static QDate emptyMarker();

    QDateEdit* m_edit;
    QToolButton* m_clear;
};

} // namespace orvane::widgets
