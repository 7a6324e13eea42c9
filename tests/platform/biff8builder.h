#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Builds small .xls workbooks (BIFF8 records in a compound file) for tests, since no real
// workbook files may be shipped with them.
class Biff8Builder
{
public:
    enum Style { General = 0, Date = 1, DateTime = 2 };

    void addSheet(const QString& name);
    // Cells of the last sheet added.
    void addText(int row, int col, const QString& text);
    void addNumber(int row, int col, double value, Style style = General);
    void addBoolean(int row, int col, bool value);
    // Marks the workbook as protected with the XOR obfuscation record.
    void setObfuscated(bool on) { m_obfuscated = on; }

    QByteArray workbookStream() const;
    // The compound file holding `stream` under `streamName`.
    static QByteArray compoundFile(const QByteArray& stream, const QString& streamName);
    QByteArray build() const { return compoundFile(workbookStream(), QStringLiteral("Workbook")); }

private:
    struct Cell
    {
        int row;
        int col;
        enum { Text, Number, Boolean } kind;
        QString text;
        double number;
        Style style;
    };
    struct Sheet
    {
        QString name;
        QList<Cell> cells;
    };
    QList<Sheet> m_sheets;
    bool m_obfuscated = false;
};
