// The in-memory month calculation against the plain cell-by-cell one on randomised sorts.
#include "payroll_fixture.h"
#include "wagecalc_reference.h"

#include "payroll/demopayroll.h"
#include "payroll/wagecalc.h"
#include "payroll/wagescriptsession.h"

#include "db/cadorecordset.h"
#include "db/resultset.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane::payrolltest {
namespace {

constexpr int kMonth = 202603;

class WageCalcEquivalence : public PayrollTest
{
protected:
    struct Item
    {
        QString name;
        QString caption;
    };

    // The demo sort on a few persons, with random formula items added on top of its own.
    void buildSort(std::mt19937& random)
    {
        const int persons = 18 + int(random() % 10);
        for (int i = 1; i <= persons; ++i)
            addPerson(QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0')),
                      QStringLiteral("职工%1").arg(i), 1 + int(random() % 2));
        QString error;
        ASSERT_TRUE(payroll::fillDemoPayroll(app, kMonth, nullptr, &error)) << error.toStdString();
        sort = count(QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6"));
        table = wageTable(sort);
        // A function that never ends, for one of the formulas.
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "UPDATE qp_SysOption SET sContent=sContent+'\r\nFunction Forever(x)\r\n  Do While x = "
            "x\r\n  Loop\r\nEnd Function\r\n' WHERE nType=1")));

        db::CADORecordset rs(&db());
        ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Name,Alias,iDataType FROM qp_Items WHERE "
                                           "UPPER(TblName)='%1' ORDER BY Ord")
                                .arg(table.toUpper())));
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (rs.GetFieldInt(QStringLiteral("iDataType")) == 0)
                numeric.push_back({rs.GetFieldString(QStringLiteral("Name")),
                                   rs.GetFieldString(QStringLiteral("Alias"))});
        }
        const QString seniority =
            count(QStringLiteral("SELECT COUNT(*) FROM qp_Items")) > 0
                ? database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='工龄'"))
                : QString();
        const auto pick = [&] { return numeric[random() % numeric.size()]; };
        for (int i = 0; i < 14; ++i) {
            const Item a = pick();
            const Item b = pick();
            const QString caption = QStringLiteral("随机%1").arg(i);
            QString f;
            switch (random() % 13) {
            case 0:
                f = QStringLiteral("{%1}*%2+{%3}")
                        .arg(a.name)
                        .arg((random() % 3000) / 1000.0)
                        .arg(b.name);
                break;
            case 1:
                f = QStringLiteral("IIf({%1}>{%2},{%1}-{%2},{%2}/7)").arg(a.name, b.name);
                break;
            case 2:
                f = QStringLiteral("Sum(\"%1\")/Count()+{%2}").arg(b.caption, a.name);
                break;
            case 3:
                f = QStringLiteral("({%1}+{%2})\\3").arg(a.name, b.name);
                break;
            case 4:
                f = QStringLiteral("{%1}>{%2}").arg(a.name, b.name);
                break;
            case 5:
                f = QStringLiteral("CStr({%1}*1.5)").arg(a.name);
                break;
            case 6:
                f = QStringLiteral("\"x\" & {%1}").arg(a.name);
                break;
            case 7:
                f = QStringLiteral("100/({%1} Mod 3)").arg(seniority);
                break;
            case 8:
                f = QStringLiteral("Forever(1)");
                break;
            case 9:
                f = QStringLiteral("Max(\"%1\")-{%2}").arg(b.caption, a.name);
                break;
            case 10:
                f = QStringLiteral("Len({Number})+{%1}/3").arg(a.name);
                break;
            case 11:
                f = QStringLiteral("Avg(\"%1\")+1").arg(caption);
                break; // its own column
            default:
                f = QStringLiteral("{%1}/3").arg(a.name);
                break;
            }
            const QString name = addItem(sort, caption, 1, f, f);
            ASSERT_FALSE(name.isEmpty()) << f.toStdString();
            ASSERT_TRUE(db().Execute(
                QStringLiteral("UPDATE qp_Items SET iDec=%1,iChoice=%2 WHERE Name='%3'")
                    .arg(random() % 4)
                    .arg(random() % 3)
                    .arg(name)));
            numeric.push_back({name, caption});
        }
        // Calculation order shuffled: formulas read later items' old values too.
        for (const Item& item : numeric)
            ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Items SET OrdF=%1 WHERE Name='%2'")
                                         .arg(random() % 1000)
                                         .arg(item.name)));
        // Old values in every numeric cell, and some persons with a grade the tables lack.
        db::CADORecordset ids(&db());
        ASSERT_TRUE(
            ids.Open(QStringLiteral("SELECT ID FROM [%1] WHERE fDate=%2").arg(table).arg(kMonth)));
        const int lastId =
            count(QStringLiteral("SELECT MAX(ID) FROM [%1] WHERE fDate=%2").arg(table).arg(kMonth));
        const QString grade =
            database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='岗位等级'"));
        for (; !ids.IsEOF(); ids.MoveNext()) {
            QStringList sets;
            for (const Item& item : numeric)
                if (random() % 3 == 0)
                    sets << QStringLiteral("[%1]=%2").arg(item.name).arg(int(random() % 20000) /
                                                                         100.0);
            if (ids.GetFieldInt(QStringLiteral("ID")) == lastId)
                sets << QStringLiteral("[%1]='99'").arg(grade);
            if (!sets.isEmpty())
                ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE [%1] SET %2 WHERE ID=%3")
                                             .arg(table, sets.join(QLatin1Char(',')))
                                             .arg(ids.GetFieldInt(QStringLiteral("ID")))));
        }
    }

    db::ResultSet snapshot()
    {
        db::ResultSet rows;
        db::BackendError error;
        EXPECT_TRUE(db().runQuery(
            QStringLiteral("SELECT * FROM [%1] WHERE fDate=%2 ORDER BY ID").arg(table).arg(kMonth),
            rows, false, error));
        return rows;
    }

    int sort = 0;
    QString table;
    std::vector<Item> numeric;
};

TEST_F(WageCalcEquivalence, InMemoryRunWritesWhatTheCellByCellRunWrites)
{
    for (const unsigned seed : {11u, 2024u, 777u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        // Each seed's organisation is rolled back at the end.
        ASSERT_TRUE(db().BeginTransaction());
        ASSERT_NO_FATAL_FAILURE(buildSort(random));
        payroll::WageScriptSession session(db(), {});
        ASSERT_TRUE(session.reset());
        session.engine().setStepBudget(200000);
        payroll::WageViewFilter filter;
        filter.sortId = sort;
        filter.fDate = kMonth;
        filter.deptId = seed == 777u ? 2 : 0;

        ASSERT_TRUE(db().BeginTransaction());
        const std::vector<ReferenceFailure> expectedFailures =
            referenceCalculateMonth(db(), session, filter);
        const db::ResultSet expected = snapshot();
        ASSERT_TRUE(db().RollbackTransaction());

        payroll::WageCalculator calculator(db(), session);
        const payroll::WageCalcResult result = calculator.calculateMonth(filter);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        const db::ResultSet actual = snapshot();

        ASSERT_EQ(actual.rowCount(), expected.rowCount());
        int differences = 0;
        for (int r = 0; r < actual.rowCount(); ++r)
            for (int c = 0; c < actual.visibleColumns; ++c) {
                const QVariant a = actual.at(r, c);
                const QVariant e = expected.at(r, c);
                const bool same =
                    a.isNull() == e.isNull() &&
                    (a.isNull() || a.toDouble() == e.toDouble() || a.toString() == e.toString());
                if (!same && ++differences < 10)
                    ADD_FAILURE() << "row " << r << " column "
                                  << actual.columns[size_t(c)].name.toStdString() << ": "
                                  << a.toString().toStdString() << " expected "
                                  << e.toString().toStdString();
            }
        EXPECT_EQ(differences, 0);
        ASSERT_EQ(result.failures.size(), expectedFailures.size())
            << result.failureMessages().join(QLatin1Char('\n')).toStdString();
        for (size_t i = 0; i < expectedFailures.size(); ++i) {
            EXPECT_EQ(result.failures[i].itemCaption, expectedFailures[i].caption);
            ASSERT_EQ(result.failures[i].persons.size(), 1u);
            EXPECT_EQ(result.failures[i].persons[0].first, expectedFailures[i].number);
        }
        ASSERT_TRUE(db().RollbackTransaction());
        numeric.clear();
    }
}

} // namespace
} // namespace orvane::payrolltest
