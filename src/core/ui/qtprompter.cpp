#include "core/ui/qtprompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace orvane::core::ui {

namespace {

QMessageBox::Icon toQt(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(Prompter::Answer a)
{
    switch (a) {
    case Prompter::Answer::Yes:
        return QMessageBox::Yes;
    case Prompter::Answer::No:
        return QMessageBox::No;
    case Prompter::Answer::Cancel:
        return QMessageBox::Cancel;
    case Prompter::Answer::Retry:
        return QMessageBox::Retry;
    case Prompter::Answer::Ok:
        return QMessageBox::Ok;
    }
    return QMessageBox::NoButton;
}

Prompter::Answer fromQt(int button, Prompter::Answer fallback)
{
    switch (button) {
    case QMessageBox::Yes:
        return Prompter::Answer::Yes;
    case QMessageBox::No:
        return Prompter::Answer::No;
    case QMessageBox::Cancel:
        return Prompter::Answer::Cancel;
    case QMessageBox::Retry:
        return Prompter::Answer::Retry;
    case QMessageBox::Ok:
        return Prompter::Answer::Ok;
    default:
        return fallback;
    }
}

// Runs a message box; Escape and the close button give `escape`.
Prompter::Answer runBox(QWidget* parent, const QString& text, const QString& caption,
                        Prompter::Icon icon, QMessageBox::StandardButtons buttons,
                        Prompter::Answer defaultButton, Prompter::Answer escape)
{
    QMessageBox box(toQt(icon), caption, text, buttons, parent);
    box.setDefaultButton(toQt(defaultButton));
    box.setEscapeButton(toQt(escape));
    return fromQt(box.exec(), escape);
}

} // namespace

QtPrompter::QtPrompter(QWidget* parent) : m_parent(parent) {}

QtPrompter::~QtPrompter()
{
    delete m_progress;
}

void QtPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    runBox(m_parent, text, caption, icon, QMessageBox::Ok, Answer::Ok, Answer::Ok);
}

Prompter::Answer QtPrompter::askYesNo(const QString& text, const QString& caption, Icon icon,
                                      Answer defaultButton)
{
    return runBox(m_parent, text, caption, icon, QMessageBox::Yes | QMessageBox::No, defaultButton,
                  Answer::No);
}

Prompter::Answer QtPrompter::askYesNoCancel(const QString& text, const QString& caption, Icon icon,
                                            Answer defaultButton)
{
    return runBox(m_parent, text, caption, icon,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, defaultButton,
                  Answer::Cancel);
}

Prompter::Answer QtPrompter::retryCancel(const QString& text, const QString& caption, Icon icon)
{
    return runBox(m_parent, text, caption, icon, QMessageBox::Retry | QMessageBox::Cancel,
                  Answer::Retry, Answer::Cancel);
}

Prompter::Answer QtPrompter::okCancel(const QString& text, const QString& caption, Icon icon)
{
    return runBox(m_parent, text, caption, icon, QMessageBox::Ok | QMessageBox::Cancel, Answer::Ok,
                  Answer::Cancel);
}

QString QtPrompter::openFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, caption, dir, filter);
}

QStringList QtPrompter::openFileNames(const QString& caption, const QString& dir,
                                      const QString& filter)
{
    return QFileDialog::getOpenFileNames(m_parent, caption, dir, filter);
}

QString QtPrompter::saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                 Overwrite overwrite)
{
    return QFileDialog::getSaveFileName(m_parent, caption, dir, filter, nullptr,
                                        overwrite == Overwrite::CallerAsks
                                            ? QFileDialog::DontConfirmOverwrite
                                            : QFileDialog::Options());
}

QString QtPrompter::existingDirectory(const QString& caption, const QString& dir)
{
    return QFileDialog::getExistingDirectory(m_parent, caption, dir);
}

std::optional<QString> QtPrompter::textInput(const QString& caption, const QString& label,
                                             const QString& initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtPrompter::progressBegin(const QString& text, int maximum)
{
    delete m_progress;
    m_progress = new QProgressDialog(m_parent); // keeps Qt's translated Cancel button
    m_progress->setWindowTitle(text);           // the steps replace the label, the title stays
    m_progress->setLabelText(text);
    m_progress->setRange(0, maximum);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(300);
    m_progress->setMinimumWidth(420); // wide enough that changing step texts rarely resize it
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
}

void QtPrompter::progressStep(int value, const QString& text)
{
    if (!m_progress)
        return;
    if (!text.isEmpty())
        m_progress->setLabelText(text);
    m_progress->setValue(value);
    QApplication::processEvents();
}

bool QtPrompter::progressCancelled()
{
    if (!m_progress)
        return false;
    QApplication::processEvents();
    return m_progress->wasCanceled();
}

void QtPrompter::progressEnd()
{
    delete m_progress;
    m_progress = nullptr;
}

} // namespace orvane::core::ui
