#pragma once

#include "payroll/banktemplate.h"
#include "payroll/orderedlist.h"

#include "script/wagecontext.h"

#include <QString>
#include <QStringList>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The bank template editor "银行代发设置": the template's texts and its list of data fields,
// which are stored at once; the preview against the sort's latest month.
class CDlgWageBankTemplet
{
public:
    // eid 0 for a new template.
    CDlgWageBankTemplet(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int eid);

    QString title() const;
    // The stored texts of an existing template (false when it is gone).
    bool load();
    // The editor's values; name, header, footer, separator, extension and lines per file.
    BankTemplate& values() { return m_values; }
    int eid() const { return m_eid; }

    // "确定": checks and stores the template; for a new one the key afterwards.
    bool save();

    // The data fields: ID, DName, iSource, DContent, bFixLen, iLen, iFillChar, iFillDirec, iQuo,
    // Ord.
    OrderedList& fields() { return m_fields; }
    bool refreshFields();
    // False with "请保存模板后设置明细数据域！" while the template is new.
    bool canEditFields();
    // A field as stored (for the field editor), by row.
    BankField fieldAt(int row) const;
    // Stores a field checked by the field editor (id 0: a new field, placed last).
    bool storeField(const BankField& field);
    bool deleteField();
    bool moveField(core::RowOrder::Direction direction);

    // The captions a source field can name: the personnel captions, then the sort's items.
    QStringList sourceCaptions() const;

    // The export statement and wage context of the preview (the latest month, in department
    // order); false with a message when the sort has no month.
    bool previewQuery(QString& sql, script::WageContext& context);

private:
    void log(const QString& text);
    void warn(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_eid;
    QString m_storedName;
    BankTemplate m_values;
    OrderedList m_fields;
};

// The data-field editor "添加数据域项": the checks of its OK.
class CDlgWageBankDetail
{
public:
    CDlgWageBankDetail(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int eid);
    static QString title(bool isNew)
    {
        return isNew ? QStringLiteral("添加明细数据域") : QStringLiteral("修改明细数据域");
    }
    // The description trimmed; checks the brackets of a custom content and that the sort and the
    // template still exist. False after the message.
    bool check(BankField& field);

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_eid;
};

} // namespace orvane::payroll
