#include "shell/ui/applook.h"

#include "shell/commandtable.h"

#include <QApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace orvane::shell::ui {

namespace {

struct Look
{
    const char* window;
    const char* base;
    const char* highlight;
    bool dark;
};

const Look kLooks[] = {
    {"#f0f0f0", "#ffffff", "#3875d7", false}, // 210 classic light
    {"#d8d8d8", "#f4f4f4", "#4a6fa5", false}, // 211 classic grey
    {"#fbfbfb", "#ffffff", "#2f80ed", false}, // 212 plain white
    {"#dbe6f4", "#ffffff", "#2b5797", false}, // 213 blue
    {"#c3d3ea", "#f5f8fc", "#1d3f73", false}, // 214 deep blue
    {"#353535", "#252525", "#2a82da", true},  // 215 black
    {"#e2e4e8", "#fbfbfc", "#6b7b8c", false}, // 216 silver
    {"#d9efec", "#ffffff", "#14847a", false}, // 217 teal
    {"#f4e9dc", "#fffaf4", "#b5651d", false}, // 218 warm
};

const Look& lookOf(int lookId)
{
    if (!CommandTable::isLook(lookId))
        lookId = 213;
    return kLooks[lookId - CommandTable::LookFirst];
}

// Fusion draws an unticked box as a dark outline on the base colour, which vanishes on a dark
// palette; this style adds a light frame there so empty boxes stay visible.
class LookStyle : public QProxyStyle
{
public:
    LookStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        const bool box =
            element == PE_IndicatorCheckBox || element == PE_IndicatorItemViewItemCheck;
        if (!box || option->palette.color(QPalette::Base).lightness() >= 96)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(Qt::NoBrush);
        QColor frame = option->palette.color(QPalette::Text);
        frame.setAlpha(option->state & State_Enabled ? 170 : 90);
        painter->setPen(frame);
        QRect r = option->rect;
        const int side = qMin(r.width(), r.height()) - 1;
        r = QRect(r.x() + (r.width() - side) / 2, r.y() + (r.height() - side) / 2, side, side);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

QPalette AppLook::palette(int lookId)
{
    const Look& look = lookOf(lookId);
    QPalette p(QColor(look.window), QColor(look.window));
    p.setColor(QPalette::Base, QColor(look.base));
    p.setColor(QPalette::Highlight, QColor(look.highlight));
    p.setColor(QPalette::HighlightedText, Qt::white);
    if (look.dark) {
        for (auto role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            p.setColor(role, QColor("#e8e8e8"));
        p.setColor(QPalette::AlternateBase, QColor("#303030"));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor("#808080"));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor("#808080"));
        p.setColor(QPalette::Disabled, QPalette::WindowText, QColor("#808080"));
    }
    return p;
}

bool AppLook::isDark(int lookId)
{
    return lookOf(lookId).dark;
}

int AppLook::apply(int lookId)
{
    if (!CommandTable::isLook(lookId))
        lookId = 213;
    if (!dynamic_cast<LookStyle*>(qApp->style()))
        qApp->setStyle(new LookStyle);
    qApp->setPalette(palette(lookId));
    return lookId;
}

QIcon AppLook::icon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, 0, size);
        gradient.setColorAt(0, QColor("#3d7bd9"));
        gradient.setColorAt(1, QColor("#1d3f73"));
        QPainterPath path;
        path.addRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size * 0.2, size * 0.2);
        painter.fillPath(path, gradient);
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(8, int(size * 0.62)));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("薪"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace orvane::shell::ui
