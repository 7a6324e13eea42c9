#pragma once

#include <QString>

#include <vector>

namespace orvane::payroll {

// One data field of a bank disbursement template (a row of qp_WageExportDetail).
struct BankField
{
    enum Source { SourceField = 0, Custom = 1, Sequence = 2 };
    enum Quote { NoQuote = 0, DoubleQuote = 1, SingleQuote = 2 };

    int id = 0;
    QString name; // DName
    int source = SourceField;
    QString content; // caption for a source field, text with placeholders for a custom one
    bool fixedLength = false;
    int length = 0;
    int fillChar = 0;   // 0 space, 1 digit zero
    int fillBefore = 0; // iFillDirec: 0 before the value, 1 after it
    int quote = NoQuote;
};

// A bank disbursement template (a row of qp_WageExport) with its data fields in order.
struct BankTemplate
{
    int eid = 0;
    int sortId = 0;
    QString name;
    QString header;
    QString footer;
    QString separator;
    QString extension;
    int linesPerFile = 0; // SFRows; 0 = one file
    std::vector<BankField> fields;
};

} // namespace orvane::payroll
