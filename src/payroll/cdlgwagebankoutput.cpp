#include "payroll/cdlgwagebankoutput.h"

#include "payroll/recordtext.h"
#include "payroll/wagescriptsession.h"

#include "core/catalog.h"
#include "core/prompter.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "platform/ansicodec.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <utility>

namespace orvane::payroll {

namespace {

QString personCaption(db::CADODatabase& database, const char* column)
{
    return core::Catalog(database).text(
        QStringLiteral("SELECT Alias FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE' AND "
                       "UPPER(Name)='%1')")
            .arg(QLatin1String(column)));
}

QString filled(QString value, const BankField& field)
{
    if (field.fixedLength && field.length > value.size()) {
        QString fill;
        if (field.fillChar == 0)
            fill = QString(field.length - value.size(), QLatin1Char(' '));
        else if (field.fillChar == 1)
            fill = QString(field.length - value.size(), QLatin1Char('0'));
        value = field.fillBefore == 0 ? fill + value : value + fill;
    }
    if (field.quote == BankField::DoubleQuote)
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (field.quote == BankField::SingleQuote)
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    return value;
}

} // namespace

CDlgWageBankOutput::CDlgWageBankOutput(db::CADODatabase& database, BankTemplate templ,
                                       QString exportSql, WageScriptSession& script)
    : m_db(database), m_template(std::move(templ)), m_sql(std::move(exportSql)), m_script(script)
{
}

CDlgWageBankOutput::~CDlgWageBankOutput()
{
    cancel();
    wait();
}

std::vector<BankField> CDlgWageBankOutput::loadFields(db::CADODatabase& database, int eid)
{
    std::vector<BankField> fields;
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT iSource,DContent,bFixLen,iLen,iFillChar,iFillDirec,iQuo,"
                                "DName,ID FROM qp_WageExportDetail WHERE EID=%1 ORDER BY Ord")
                     .arg(eid)))
        return fields;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        BankField field;
        field.source = rs.GetFieldInt(QStringLiteral("iSource"));
        field.content = rs.GetFieldString(QStringLiteral("DContent"));
        field.fixedLength = rs.GetFieldInt(QStringLiteral("bFixLen")) != 0;
        field.length = rs.GetFieldInt(QStringLiteral("iLen"));
        field.fillChar = rs.GetFieldInt(QStringLiteral("iFillChar"));
        field.fillBefore = rs.GetFieldInt(QStringLiteral("iFillDirec"));
        field.quote = rs.GetFieldInt(QStringLiteral("iQuo"));
        field.name = rs.GetFieldString(QStringLiteral("DName"));
        field.id = rs.GetFieldInt(QStringLiteral("ID"));
        fields.push_back(field);
    }
    return fields;
}

BankTemplate CDlgWageBankOutput::loadTemplate(db::CADODatabase& database, int eid)
{
    BankTemplate templ;
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT Name,Header,Footer,Sep,Ext,SFRows,SID FROM qp_WageExport "
                                "WHERE EID=%1")
                     .arg(eid)) ||
        rs.IsEOF())
        return templ;
    templ.eid = eid;
    templ.name = rs.GetFieldString(QStringLiteral("Name"));
    templ.header = rs.GetFieldString(QStringLiteral("Header"));
    templ.footer = rs.GetFieldString(QStringLiteral("Footer"));
    templ.separator = rs.GetFieldString(QStringLiteral("Sep"));
    templ.extension = rs.GetFieldString(QStringLiteral("Ext"));
    templ.linesPerFile = rs.GetFieldInt(QStringLiteral("SFRows"));
    templ.sortId = rs.GetFieldInt(QStringLiteral("SID"));
    templ.fields = loadFields(database, eid);
    return templ;
}

bool CDlgWageBankOutput::fieldValue(const BankField& field, db::CADORecordset& record, int n,
                                    QString& value)
{
    switch (field.source) {
    case BankField::SourceField:
        if (record.GetFieldIndex(field.content) < 0 || !record.GetFieldValue(field.content, value))
            value = field.content;
        break;
    case BankField::Custom:
        value = RecordText::substitute(field.content, record);
        if (!RecordText::expand(value, m_script.engine()))
            return false;
        break;
    case BankField::Sequence:
        value = QString::number(n);
        break;
    default:
        value.clear();
    }
    value = filled(value, field);
    return true;
}

void CDlgWageBankOutput::noteIssues(const QString& text, const QString& person,
                                    const QString& field)
{
    const qsizetype bad = platform::AnsiCodec::firstUnencodable(text);
    if (bad >= 0)
        m_issues.push_back(
            {m_line, person, field, text.mid(bad, text.at(bad).isHighSurrogate() ? 2 : 1)});
}

void CDlgWageBankOutput::generate(BankOutputSink& sink)
{
    m_preview.clear();
    m_issues.clear();
    m_line = 0;
    m_recordCount = 0;
    const auto finish = [&] {
        sink.setProgress(0, 0);
        m_cancel = false;
    };
    if (m_template.fields.empty())
        return;
    m_script.reset();
    db::CADORecordset rs(&m_db);
    if (!rs.Open(m_sql) || rs.IsEOF() || rs.GetRecordCount() == 0)
        return;
    const int count = rs.GetRecordCount();
    const QString numberCaption = personCaption(m_db, "NUMBER");
    const QString nameCaption = personCaption(m_db, "NAME");
    sink.setStatus(0, QStringLiteral("正在生成数据..."));
    sink.setProgress(0, count);
    const auto append = [&](const QString& line) {
        m_preview += line + QLatin1Char('\n');
        ++m_line;
        sink.appendText(line + QLatin1Char('\n'));
    };

    if (!m_template.header.isEmpty()) {
        QString header = m_template.header;
        if (!RecordText::expand(header, m_script.engine())) {
            finish();
            return;
        }
        noteIssues(header, QString(), QStringLiteral("首部标识"));
        append(header);
    }
    int n = 1;
    for (rs.MoveFirst(); !rs.IsEOF() && !m_cancel; rs.MoveNext(), ++n) {
        QString line;
        const QString person =
            rs.GetFieldString(numberCaption) + QLatin1Char(' ') + rs.GetFieldString(nameCaption);
        for (const BankField& field : m_template.fields) {
            if (m_cancel)
                break;
            QString value;
            if (!fieldValue(field, rs, n, value)) {
                finish();
                return;
            }
            noteIssues(value, person, field.name);
            line += value + m_template.separator;
        }
        append(line);
        ++m_recordCount;
        sink.setStatus(1, QStringLiteral("%1%").arg(n * 100 / count));
        sink.setProgress(n, count);
    }
    if (!m_template.footer.isEmpty()) {
        QString footer = m_template.footer;
        RecordText::expand(footer, m_script.engine());
        noteIssues(footer, QString(), QStringLiteral("尾部标识"));
        append(footer);
    }
    sink.setStatus(0, QStringLiteral("记录数：%1").arg(count));
    sink.setStatus(1, QString());
    finish();
}

void CDlgWageBankOutput::start(BankOutputSink& sink)
{
    wait();
    m_running = true;
    m_worker = std::thread([this, &sink] {
        generate(sink);
        m_running = false;
    });
}

void CDlgWageBankOutput::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

QStringList CDlgWageBankOutput::outputFiles(const QString& path, int lineCount, int linesPerFile)
{
    if (linesPerFile <= 0 || lineCount <= linesPerFile)
        return {path};
    qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0)
        slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString fileName = path.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString title = dot < 0 ? fileName : fileName.left(dot);
    const QString ext = dot < 0 ? QString() : fileName.mid(dot + 1);
    QStringList files;
    const int parts = (lineCount + linesPerFile - 1) / linesPerFile;
    for (int i = 0; i < parts; ++i)
        files << QStringLiteral("%1%2_%3.%4").arg(folder, title).arg(i).arg(ext);
    return files;
}

bool CDlgWageBankOutput::save(core::Prompter& prompter)
{
    const QString pattern = QStringLiteral("*.%1").arg(
        m_template.extension.isEmpty() ? QStringLiteral("txt") : m_template.extension);
    const QString path =
        prompter.saveFileName(QStringLiteral("保存"), QString(),
                              QStringLiteral("文本文件 (%1);;All Files (*.*)").arg(pattern));
    if (path.isEmpty())
        return false;
    return saveTo(path, prompter);
}

bool CDlgWageBankOutput::saveTo(const QString& path, core::Prompter& prompter)
{
    const QStringList lines = m_preview.split(QLatin1Char('\n'));
    if (platform::AnsiCodec::firstUnencodable(m_preview) >= 0) {
        // Name the person and the field when the generation saw the character.
        QString where;
        if (!m_issues.empty()) {
            const EncodingIssue& issue = m_issues.front();
            where = issue.person.isEmpty()
                        ? QStringLiteral("第%1行%2").arg(issue.line + 1).arg(issue.field)
                        : QStringLiteral("第%1行人员“%2”的数据域“%3”")
                              .arg(issue.line + 1)
                              .arg(issue.person.trimmed(), issue.field);
            prompter.message(QStringLiteral("%1中的字符“%2”不能写入银行文件(GBK编码)，文件未保存！")
                                 .arg(where, issue.character),
                             core::promptCaption(), core::Prompter::Icon::Error);
        } else {
            prompter.message(QStringLiteral("报盘数据中有不能写入银行文件(GBK编码)的字符，"
                                            "文件未保存！"),
                             core::promptCaption(), core::Prompter::Icon::Error);
        }
        return false;
    }
    const QStringList files = outputFiles(path, int(lines.size()), m_template.linesPerFile);
    const int per = files.size() == 1 ? int(lines.size()) : m_template.linesPerFile;
    // Encode everything before the first file is touched.
    std::vector<QByteArray> contents;
    for (int f = 0; f < files.size(); ++f) {
        QString text;
        for (int i = f * per; i < std::min<int>(int(lines.size()), (f + 1) * per); ++i) {
            if (!lines.at(i).isEmpty())
                text += lines.at(i) + QStringLiteral("\r\n");
        }
        contents.push_back(platform::AnsiCodec::encode(text).value_or(QByteArray()));
    }
    m_written.clear();
    for (int f = 0; f < files.size(); ++f) {
        QSaveFile file(files.at(f));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents[size_t(f)]) < 0 ||
            !file.commit()) {
            prompter.message(QStringLiteral("文件“%1”写入失败：%2")
                                 .arg(QDir::toNativeSeparators(files.at(f)), file.errorString()),
                             core::promptCaption(), core::Prompter::Icon::Error);
            return false;
        }
        m_written << files.at(f);
    }
    m_saved = true;
    return true;
}

} // namespace orvane::payroll
