#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::payroll {

// The formula editor's content: the field tree (the sort's fields, then the personnel table's,
// data types below 4 only), the function tree from the catalogue file "funcdescr.xml" beside
// the program, and the texts its buttons insert. OK hands the text back unchanged; the check
// runs when the item is saved.
class CDlgWageFormu
{
public:
    struct FieldGroup
    {
        QString title; // the table's title, as references name it
        QStringList captions;
    };
    struct Function
    {
        QString name;
        QString description;
    };
    struct FunctionGroup
    {
        QString title; // "系统常数", "系统函数", "VBScript函数"
        QList<Function> functions;
    };
    struct Button
    {
        QString text; // inserted at the caret
        QString tip;
    };

    CDlgWageFormu(core::COrvaneApp& app, int sortId, QString itemCaption, QString formula);

    QString windowTitle() const;
    const QList<FieldGroup>& fields() const { return m_fields; }
    const QList<FunctionGroup>& functions() const { return m_functions; }
    // The text a double click on a field inserts: "[" + table title + "." + caption + "]".
    static QString fieldReference(const QString& tableTitle, const QString& caption);
    QString description(const QString& functionName) const;

    // Reads the catalogue; a missing or unreadable file leaves the three groups empty.
    void loadCatalogue(const QString& path);
    // "<program folder>/funcdescr.xml".
    static QString cataloguePath(const QString& programFolder);

    static const QList<Button>& buttons();

    QString formula;

private:
    core::COrvaneApp& m_app;
    QString m_caption;
    QList<FieldGroup> m_fields;
    QList<FunctionGroup> m_functions;
};

} // namespace orvane::payroll
