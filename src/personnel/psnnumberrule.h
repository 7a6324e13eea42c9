#pragma once

#include <QString>

namespace orvane::personnel {

// The personnel-number option "mode|length|prefix" (qp_SysOption, nType 0).
struct PsnNumberRule
{
    enum Mode { Sequence = 0, FixedPrefix = 1, DepartmentPrefix = 2, Typed = 3 };

    int mode = Sequence;
    int length = 0; // minimum digits of the sequence
    QString prefix; // for FixedPrefix

    // Reads the option text into `rule`; a text that does not split into exactly three parts
    // changes nothing and gives false. A mode outside 0..3 counts as 0.
    static bool parse(const QString& text, PsnNumberRule& rule);

    // The sequence part: `lastIdentity` + 1, padded on the left with "0" to `length` digits.
    QString sequence(int lastIdentity) const;
    // The number for a new person: by mode, with the department's prefix for mode 2 and the
    // operator's text for mode 3.
    QString compose(int lastIdentity, const QString& departmentPrefix, const QString& typed) const;
};

} // namespace orvane::personnel
