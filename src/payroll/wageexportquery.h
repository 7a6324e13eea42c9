#pragma once

#include "script/wagecontext.h"

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

// The persons of one wage month as the bank file and the payslips read them: the sort's standard
// select list (every column named by its caption), the wage table joined to the person,
// department, category and adjustment, the selection's condition and the wage view's order.
struct WageSelection
{
    int sortId = 0;
    int fDate = 0;
    int deptId = 0;     // 0: the whole organisation, otherwise the department with its subtree
    int categoryId = 0; // 0: every category, negative: nobody
    // The operator's limit (a non-super operator sees only his departments, keys joined by ',').
    bool superOperator = true;
    QString permittedDepartments;
};

class WageExportQuery
{
public:
    explicit WageExportQuery(db::CADODatabase& database) : m_db(database) {}

    // The wage data table of the sort ("" when the sort is gone).
    QString wageTable(int sortId) const;
    QString sortTitle(int sortId) const;
    // The latest month of the sort (0 when it has none).
    int latestMonth(int sortId) const;

    // " FROM ... WHERE (...)" of the selection: what COUNT() and SUM() of the formulas see.
    QString fromWhere(const WageSelection& selection) const;
    // " WHERE ..." alone: the wage view's selection rules (WageViewFilter) with the operator's
    // limits the selection carries.
    QString where(const WageSelection& selection) const;
    // " ORDER BY qp_Dept.Ord,<wage table>.Ord".
    QString orderBy(int sortId) const;
    // The whole SELECT statement; "" when the sort is gone.
    QString selectSql(const WageSelection& selection) const;
    // The wage context of the selection for the formula functions.
    script::WageContext context(const WageSelection& selection, const QString& operatorName) const;

    // The log line of an output made from the selection:
    // "薪资管理['sort:department:month'<action>'<template>'(<condition>)]".
    QString logLine(const WageSelection& selection, const QString& action,
                    const QString& templateName) const;

private:
    db::CADODatabase& m_db;
};

} // namespace orvane::payroll
