#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The mail template editor "通告模板": name, subject, HTML body and the tree of reference items
// whose captions go into the body as "[caption]".
class CDlgWageAnnTemplet
{
public:
    // aid 0 for a new template; sort 0 for the personnel view's templates.
    CDlgWageAnnTemplet(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int aid);

    QString title() const;
    bool load();
    QString name;
    QString subject;
    QString content;
    int aid() const { return m_aid; }

    // Groups of the reference tree: "<薪资表项目>" (with a sort), "<人事基本表项目>",
    // "<组织机构表项目>", "<人员类别表项目>", each with its captions.
    std::vector<std::pair<QString, QStringList>> referenceItems() const;
    static QString placeholder(const QString& caption)
    {
        return QLatin1Char('[') + caption + QLatin1Char(']');
    }

    // The HTML editor writes quotes, ampersands and angle brackets of the text as entities;
    // inside "{$ ... $}" they are turned back so that the expressions evaluate.
    static QString restoreExpressions(QString html);

    bool save();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_aid;
    QString m_storedName;
};

} // namespace orvane::payroll
