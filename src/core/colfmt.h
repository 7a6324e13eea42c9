#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace orvane::core {

// The display format of a catalogue column (qp_Items.ColFmt, "%d;%d;%d"): bold flag, text colour
// and background colour, colours as 0xRRGGBB. An empty or malformed text means the grid's
// defaults (isSet() false).
struct ColFmt
{
    bool bold = false;
    quint32 textColor = 0x000000;
    quint32 backColor = 0xFFFFFF;
    bool set = false;

    bool isSet() const { return set; }

    static ColFmt parse(const QString& text)
    {
        ColFmt format;
        const QStringList parts = text.split(QLatin1Char(';'));
        if (parts.size() != 3)
            return format;
        bool ok[3] = {};
        const qlonglong values[3] = {parts[0].trimmed().toLongLong(&ok[0]),
                                     parts[1].trimmed().toLongLong(&ok[1]),
                                     parts[2].trimmed().toLongLong(&ok[2])};
        if (!ok[0] || !ok[1] || !ok[2])
            return format;
        format.bold = values[0] != 0;
        format.textColor = quint32(values[1]) & 0xFFFFFFu;
        format.backColor = quint32(values[2]) & 0xFFFFFFu;
        format.set = true;
        return format;
    }

    QString text() const
    {
        return QStringLiteral("%1;%2;%3").arg(bold ? 1 : 0).arg(textColor).arg(backColor);
    }
};

} // namespace orvane::core
