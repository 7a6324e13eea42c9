#pragma once

#include "core/prompter.h"

namespace orvane::core {

// The part of a prompter for work that runs without an operator (batch jobs, demo data): file
// choices and text input are cancelled, progress is not shown and never cancelled. Messages and
// questions are left to the job.
class UnattendedPrompter : public Prompter
{
public:
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFileNames(const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&,
                         Overwrite = Overwrite::DialogAsks) override
    {
        return {};
    }
    QString existingDirectory(const QString&, const QString&) override { return {}; }
    std::optional<QString> textInput(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void progressBegin(const QString&, int) override {}
    void progressStep(int, const QString&) override {}
    bool progressCancelled() override { return false; }
    void progressEnd() override {}
};

} // namespace orvane::core
