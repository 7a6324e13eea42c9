// Bank disbursement templates with their data fields, payslip mail templates and the sending
// mailboxes of the batch mail.
#include "server/coreprocedures.h"
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace {

using db::ProcContext;

QString text(const ProcContext& ctx, const char* name, int width)
{
    return ctx.paramString(QString::fromLatin1(name)).left(width);
}

int nextOrd(ProcContext& ctx, const QString& table, const QString& where)
{
    return scalarInt(ctx, QStringLiteral("SELECT MAX(Ord) FROM %1 WHERE %2").arg(table, where)) + 1;
}

// Renumbers Ord 1..n of the rows of `table` selected by `where`, keeping their order.
void renumberWhere(ProcContext& ctx, const QString& table, const QString& key, const QString& where)
{
    renumber(ctx, table, key,
             QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY Ord,%1").arg(key, table, where));
}

void newIdResult(ProcContext& ctx, int id)
{
    ctx.setResultColumns({QStringLiteral("NewID")});
    ctx.addResultRow({id});
}

// qp_AddBankExportTemplet: EID (0 = new), SID, Name, Active, Header, Footer, Sep, Ext, SFRows.
void addBankTemplate(ProcContext& ctx)
{
    const int eid = keyParam(ctx, "EID");
    const int sid = ctx.paramInt(QStringLiteral("SID"));
    const QString values =
        QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
            .arg(sqlText(text(ctx, "Name", 255)), num(flagParam(ctx, "Active")),
                 sqlText(ctx.paramString(QStringLiteral("Header"))),
                 sqlText(ctx.paramString(QStringLiteral("Footer"))), sqlText(text(ctx, "Sep", 6)),
                 sqlText(text(ctx, "Ext", 6)), num(ctx.paramInt(QStringLiteral("SFRows"))));
    if (eid == 0) {
        ctx.execute(QStringLiteral("INSERT INTO qp_WageExport (Name,Active,Header,Footer,Sep,Ext,"
                                   "SFRows,SID,Ord) VALUES (%1,%2,%3)")
                        .arg(values, num(sid),
                             num(nextOrd(ctx, QStringLiteral("qp_WageExport"),
                                         QStringLiteral("SID=%1").arg(sid)))));
        return;
    }
    ctx.execute(QStringLiteral("UPDATE qp_WageExport SET Name=%1,Active=%2,Header=%3,Footer=%4,"
                               "Sep=%5,Ext=%6,SFRows=%7 WHERE EID=%8")
                    .arg(sqlText(text(ctx, "Name", 255)), num(flagParam(ctx, "Active")),
                         sqlText(ctx.paramString(QStringLiteral("Header"))),
                         sqlText(ctx.paramString(QStringLiteral("Footer"))),
                         sqlText(text(ctx, "Sep", 6)), sqlText(text(ctx, "Ext", 6)),
                         num(ctx.paramInt(QStringLiteral("SFRows"))), num(eid)));
}

// qp_AddBankExportDetail: ID (0 = new), SID, EID, iSource, DName, DContent, bFixLen, iLen,
// iFillChar, iFillDirec, iQuo, Ord.
void addBankField(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const QString values =
        QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9")
            .arg(num(ctx.paramInt(QStringLiteral("iSource"))), sqlText(text(ctx, "DName", 20)),
                 sqlText(text(ctx, "DContent", 255)), num(flagParam(ctx, "bFixLen")),
                 num(ctx.paramInt(QStringLiteral("iLen"))),
                 num(ctx.paramInt(QStringLiteral("iFillChar"))),
                 num(ctx.paramInt(QStringLiteral("iFillDirec"))),
                 num(ctx.paramInt(QStringLiteral("iQuo"))),
                 num(ctx.paramInt(QStringLiteral("Ord"))));
    if (id == 0) {
        ctx.execute(QStringLiteral("INSERT INTO qp_WageExportDetail (iSource,DName,DContent,"
                                   "bFixLen,iLen,iFillChar,iFillDirec,iQuo,Ord,SID,EID) VALUES "
                                   "(%1,%2,%3)")
                        .arg(values, num(ctx.paramInt(QStringLiteral("SID"))),
                             num(ctx.paramInt(QStringLiteral("EID")))));
        return;
    }
    ctx.execute(
        QStringLiteral("UPDATE qp_WageExportDetail SET iSource=%1,DName=%2,DContent=%3,bFixLen=%4,"
                       "iLen=%5,iFillChar=%6,iFillDirec=%7,iQuo=%8,Ord=%9 WHERE ID=%10")
            .arg(num(ctx.paramInt(QStringLiteral("iSource"))), sqlText(text(ctx, "DName", 20)),
                 sqlText(text(ctx, "DContent", 255)), num(flagParam(ctx, "bFixLen")),
                 num(ctx.paramInt(QStringLiteral("iLen"))),
                 num(ctx.paramInt(QStringLiteral("iFillChar"))),
                 num(ctx.paramInt(QStringLiteral("iFillDirec"))),
                 num(ctx.paramInt(QStringLiteral("iQuo"))),
                 num(ctx.paramInt(QStringLiteral("Ord"))))
            .arg(num(id)));
}

// A copy named "<name>_副本" (with a number when that name is taken) placed last in its sort.
QString copyName(ProcContext& ctx, const QString& table, int sid, const QString& name)
{
    QString candidate = name + QStringLiteral("_副本");
    for (int n = 2;
         scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SID=%2 AND Name=%3")
                            .arg(table, num(sid), sqlText(candidate))) > 0;
         ++n)
        candidate = name + QStringLiteral("_副本%1").arg(n);
    return candidate.left(255);
}

// Copies the template row `src` of `table` (key column `key`) under a new name, active and
// placed last in its sort; the new key, or 0 when the source is gone.
int copyTemplateRow(ProcContext& ctx, const QString& table, const QString& key,
                    const QString& columns, int src)
{
    const db::ResultSet row =
        ctx.query(QStringLiteral("SELECT SID,Name FROM %1 WHERE %2=%3").arg(table, key, num(src)));
    if (row.rowCount() == 0)
        return 0;
    const int sid = row.at(0, 0).toInt();
    ctx.execute(
        QStringLiteral("INSERT INTO %1 (SID,Name,Active,Ord,%2) SELECT SID,%3,1,%4,%2 FROM "
                       "%1 WHERE %5=%6")
            .arg(table, columns, sqlText(copyName(ctx, table, sid, row.at(0, 1).toString())),
                 num(nextOrd(ctx, table, QStringLiteral("SID=%1").arg(sid))), key, num(src)));
    return scalarInt(ctx, QStringLiteral("SELECT MAX(%1) FROM %2").arg(key, table));
}

// qp_CopyBankTemplet: SrcID. Returns the new EID (0 when the source is gone) with a copy of the
// data fields.
void copyBankTemplate(ProcContext& ctx)
{
    const int src = keyParam(ctx, "SrcID");
    const int eid = copyTemplateRow(ctx, QStringLiteral("qp_WageExport"), QStringLiteral("EID"),
                                    QStringLiteral("Header,Footer,Sep,Ext,SFRows"), src);
    if (eid > 0)
        ctx.execute(
            QStringLiteral("INSERT INTO qp_WageExportDetail (EID,SID,DName,iSource,DContent,"
                           "bFixLen,iLen,iFillChar,iFillDirec,iQuo,Ord) SELECT %1,SID,DName,"
                           "iSource,DContent,bFixLen,iLen,iFillChar,iFillDirec,iQuo,Ord FROM "
                           "qp_WageExportDetail WHERE EID=%2")
                .arg(num(eid), num(src)));
    newIdResult(ctx, eid);
}

// qp_AddAnnounceTemplet: AID (0 = new), SID, Name, Active, Subject, Content.
void addMailTemplate(ProcContext& ctx)
{
    const int aid = keyParam(ctx, "AID");
    const int sid = ctx.paramInt(QStringLiteral("SID"));
    const QString name = sqlText(text(ctx, "Name", 255));
    const QString subject = sqlText(text(ctx, "Subject", 256));
    const QString content = sqlText(ctx.paramString(QStringLiteral("Content")));
    const QString active = num(flagParam(ctx, "Active"));
    if (aid == 0) {
        ctx.execute(QStringLiteral("INSERT INTO qp_WageAnnounce (SID,Name,Active,Subject,Content,"
                                   "Ord) VALUES (%1,%2,%3,%4,%5,%6)")
                        .arg(num(sid), name, active, subject, content,
                             num(nextOrd(ctx, QStringLiteral("qp_WageAnnounce"),
                                         QStringLiteral("SID=%1").arg(sid)))));
        return;
    }
    ctx.execute(QStringLiteral("UPDATE qp_WageAnnounce SET Name=%1,Active=%2,Subject=%3,"
                               "Content=%4 WHERE AID=%5")
                    .arg(name, active, subject, content, num(aid)));
}

// qp_CopyAnnounceTemplet: SrcID. Returns the new AID (0 when the source is gone).
void copyMailTemplate(ProcContext& ctx)
{
    newIdResult(ctx, copyTemplateRow(ctx, QStringLiteral("qp_WageAnnounce"), QStringLiteral("AID"),
                                     QStringLiteral("Subject,Content"), keyParam(ctx, "SrcID")));
}

// qp_AddMailServer: ID (0 = new), SvrName, Port, Auh, SSL, Account, Pwd, MailAdr, UserName.
void addMailServer(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const QString values[] = {
        sqlText(text(ctx, "SvrName", 50)),        num(ctx.paramInt(QStringLiteral("Port"))),
        num(ctx.paramInt(QStringLiteral("Auh"))), num(ctx.paramInt(QStringLiteral("SSL"))),
        sqlText(text(ctx, "Account", 50)),        sqlText(text(ctx, "Pwd", 255)),
        sqlText(text(ctx, "MailAdr", 50)),        sqlText(text(ctx, "UserName", 50))};
    if (id == 0) {
        ctx.execute(QStringLiteral("INSERT INTO qp_BatchMailSet (dt,svrname,port,auh,ssl,account,"
                                   "password,mailadr,username) VALUES (3,%1,%2,%3,%4,%5,%6,%7,%8)")
                        .arg(values[0], values[1], values[2], values[3], values[4], values[5],
                             values[6], values[7]));
        return;
    }
    ctx.execute(QStringLiteral("UPDATE qp_BatchMailSet SET svrname=%1,port=%2,auh=%3,ssl=%4,"
                               "account=%5,password=%6,mailadr=%7,username=%8 WHERE id=%9 AND "
                               "dt=3")
                    .arg(values[0], values[1], values[2], values[3], values[4], values[5],
                         values[6], values[7], num(id)));
}

} // namespace

namespace payroll_detail {

void registerWageOutputProcedures()
{
    registerOnce(QStringLiteral("qp_AddBankExportTemplet"),
                 {QStringLiteral("EID"), QStringLiteral("SID"), QStringLiteral("Name"),
                  QStringLiteral("Active"), QStringLiteral("Header"), QStringLiteral("Footer"),
                  QStringLiteral("Sep"), QStringLiteral("Ext"), QStringLiteral("SFRows")},
                 addBankTemplate);
    registerOnce(QStringLiteral("qp_AddBankExportDetail"),
                 {QStringLiteral("ID"), QStringLiteral("SID"), QStringLiteral("EID"),
                  QStringLiteral("iSource"), QStringLiteral("DName"), QStringLiteral("DContent"),
                  QStringLiteral("bFixLen"), QStringLiteral("iLen"), QStringLiteral("iFillChar"),
                  QStringLiteral("iFillDirec"), QStringLiteral("iQuo"), QStringLiteral("Ord")},
                 addBankField);
    registerOnce(QStringLiteral("qp_CopyBankTemplet"), {QStringLiteral("SrcID")}, copyBankTemplate);
    registerOnce(QStringLiteral("qp_SelectWageBankTempletByID"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) {
                     ctx.setResult(ctx.query(
                         QStringLiteral("SELECT EID,Name,Active,Ord FROM qp_WageExport WHERE "
                                        "SID=%1 ORDER BY Ord,EID")
                             .arg(keyParam(ctx, "SID"))));
                 });
    registerOnce(QStringLiteral("qp_SelectWageBankTempletItemsByID"),
                 {QStringLiteral("SID"), QStringLiteral("EID")}, [](ProcContext& ctx) {
                     ctx.setResult(ctx.query(
                         QStringLiteral("SELECT ID,DName,iSource,DContent,bFixLen,iLen,iFillChar,"
                                        "iFillDirec,iQuo,Ord FROM qp_WageExportDetail WHERE "
                                        "EID=%1 ORDER BY Ord,ID")
                             .arg(ctx.paramInt(QStringLiteral("EID")))));
                 });
    registerOnce(QStringLiteral("qp_RefreshBankExportTempletOrder"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) {
                     renumberWhere(ctx, QStringLiteral("qp_WageExport"), QStringLiteral("EID"),
                                   QStringLiteral("SID=%1").arg(keyParam(ctx, "SID")));
                 });
    registerOnce(QStringLiteral("qp_RefreshBankExportDetailOrder"), {QStringLiteral("EID")},
                 [](ProcContext& ctx) {
                     renumberWhere(ctx, QStringLiteral("qp_WageExportDetail"), QStringLiteral("ID"),
                                   QStringLiteral("EID=%1").arg(keyParam(ctx, "EID")));
                 });
    registerOnce(QStringLiteral("qp_AddAnnounceTemplet"),
                 {QStringLiteral("AID"), QStringLiteral("SID"), QStringLiteral("Name"),
                  QStringLiteral("Active"), QStringLiteral("Subject"), QStringLiteral("Content")},
                 addMailTemplate);
    registerOnce(QStringLiteral("qp_CopyAnnounceTemplet"), {QStringLiteral("SrcID")},
                 copyMailTemplate);
    registerOnce(QStringLiteral("qp_SelectAnnMailTempletByID"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) {
                     ctx.setResult(ctx.query(
                         QStringLiteral("SELECT AID,Name,Active,Ord FROM qp_WageAnnounce WHERE "
                                        "SID=%1 ORDER BY Ord,AID")
                             .arg(keyParam(ctx, "SID"))));
                 });
    registerOnce(QStringLiteral("qp_RefreshAnnounceTempletOrder"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) {
                     renumberWhere(ctx, QStringLiteral("qp_WageAnnounce"), QStringLiteral("AID"),
                                   QStringLiteral("SID=%1").arg(keyParam(ctx, "SID")));
                 });
    registerOnce(QStringLiteral("qp_AddMailServer"),
                 {QStringLiteral("ID"), QStringLiteral("SvrName"), QStringLiteral("Port"),
                  QStringLiteral("Auh"), QStringLiteral("SSL"), QStringLiteral("Account"),
                  QStringLiteral("Pwd"), QStringLiteral("MailAdr"), QStringLiteral("UserName")},
                 addMailServer);
}

} // namespace payroll_detail

} // namespace orvane::server
