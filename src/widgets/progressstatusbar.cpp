#include "widgets/progressstatusbar.h"

#include <QLabel>
#include <QProgressBar>

namespace orvane::widgets {

ProgressStatusBar::ProgressStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (QLabel*& pane : m_panes) {
        pane = new QLabel(this);
        pane->setMinimumWidth(160);
        addWidget(pane);
    }
    m_progress = new QProgressBar(this);
    m_progress->setMaximumWidth(240);
    m_progress->hide();
    addPermanentWidget(m_progress);
}

void ProgressStatusBar::setPane(int pane, const QString& text)
{
    if (pane == 0 || pane == 1)
        m_panes[pane]->setText(text);
}

void ProgressStatusBar::setProgress(int value, int maximum)
{
    m_progress->setVisible(maximum > 0);
    m_progress->setRange(0, std::max(1, maximum));
    m_progress->setValue(value);
}

} // namespace orvane::widgets
