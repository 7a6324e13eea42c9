#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace orvane::widgets {

// The status bar of the long output jobs: two text panes and a progress bar shown only while a
// job runs.
class ProgressStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit ProgressStatusBar(QWidget* parent = nullptr);

    void setPane(int pane, const QString& text);
    // maximum 0 hides the bar.
    void setProgress(int value, int maximum);

private:
    QLabel* m_panes[2] = {};
    QProgressBar* m_progress = nullptr;
};

} // namespace orvane::widgets
