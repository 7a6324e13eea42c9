#include "widgets/columnformatdialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::widgets {

ColumnFormatDialog::ColumnFormatDialog(const QString& caption, const core::ColFmt& format,
                                       QWidget* parent)
    : QDialog(parent), m_format(format), m_bold(new QCheckBox(QStringLiteral("粗体(&B)"), this)),
      m_sample(new QLabel(caption, this))
{
    setWindowTitle(QStringLiteral("列显示格式 - %1").arg(caption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bold);
    auto* colours = new QHBoxLayout;
    auto* text = new QPushButton(QStringLiteral("文字颜色(&F)..."), this);
    auto* back = new QPushButton(QStringLiteral("背景颜色(&K)..."), this);
    colours->addWidget(text);
    colours->addWidget(back);
    layout->addLayout(colours);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(36);
    m_sample->setAutoFillBackground(true);
    m_sample->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_sample);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    m_bold->setChecked(format.bold);
    connect(m_bold, &QCheckBox::toggled, this, [this](bool on) {
        m_format.bold = on;
        showSample();
    });
    connect(text, &QPushButton::clicked, this,
            [this] { chooseColour(m_format.textColor, QStringLiteral("文字颜色")); });
    connect(back, &QPushButton::clicked, this,
            [this] { chooseColour(m_format.backColor, QStringLiteral("背景颜色")); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSample();
}

void ColumnFormatDialog::chooseColour(quint32& colour, const QString& title)
{
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(colour), this, title);
    if (chosen.isValid())
        colour = chosen.rgb() & 0xFFFFFFu;
    showSample();
}

void ColumnFormatDialog::showSample()
{
    QFont font = m_sample->font();
    font.setBold(m_format.bold);
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(m_format.textColor));
    palette.setColor(QPalette::Window, QColor::fromRgb(m_format.backColor));
    m_sample->setPalette(palette);
}

} // namespace orvane::widgets
