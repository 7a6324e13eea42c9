#include "core/appsettings.h"
#include "core/connectconfig.h"
#include "core/corvaneapp.h"
#include "core/inifile.h"
#include "core/passwordhash.h"
#include "core/sqltext.h"
#include "platform/configcipher.h"

#include <QFile>
#include <QTemporaryDir>

#include "testutil/qtprinters.h"

#include <gtest/gtest.h>

using orvane::core::AppSettings;
using orvane::core::ConnectConfig;
using orvane::core::IniFile;
using orvane::platform::ConfigCipher;

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(ConfigCipher, RoundTripsAnyTextWithAFreshNoncePerCall)
{
    for (const QString& plain :
         {QString(), QStringLiteral("2,srv,sa,p@ss;word,0"), QStringLiteral("3,/数据/人事.db,,,1"),
          QStringLiteral("abc       ")}) {
        const QString a = ConfigCipher::encipher(plain);
        const QString b = ConfigCipher::encipher(plain);
        ASSERT_FALSE(a.isEmpty());
        EXPECT_NE(a, b) << "same nonce used twice";
        EXPECT_FALSE(a.contains(plain) && !plain.isEmpty());
        EXPECT_EQ(ConfigCipher::decipher(a), plain);
        EXPECT_EQ(ConfigCipher::transform(1, ConfigCipher::transform(0, plain)), plain);
    }
}

TEST(ConfigCipher, RefusesAlteredTruncatedAndForeignText)
{
    const QString good = ConfigCipher::encipher(QStringLiteral("1,pw,server,user,0"));
    QByteArray raw = QByteArray::fromBase64(good.toLatin1());
    for (int at : {0, 13, int(raw.size()) - 1}) { // nonce, body, tag
        QByteArray bad = raw;
        bad[at] = char(bad[at] ^ 0x01);
        EXPECT_FALSE(ConfigCipher::decipher(QString::fromLatin1(bad.toBase64()))) << at;
    }
    EXPECT_FALSE(ConfigCipher::decipher(QString::fromLatin1(raw.left(27).toBase64())));
    EXPECT_FALSE(ConfigCipher::decipher(good.left(good.size() - 4)));
    EXPECT_FALSE(ConfigCipher::decipher(QStringLiteral("1,pw,server,user,0")));
    EXPECT_FALSE(ConfigCipher::decipher(QStringLiteral("不是密文")));
    EXPECT_FALSE(ConfigCipher::decipher(QString()));
    EXPECT_EQ(ConfigCipher::transform(1, QStringLiteral("garbage!!")), QString());
}

TEST(ConnectConfig, ReadsTheThreeOrderCodesAndRefusesShortLists)
{
    auto c1 = ConnectConfig::parse(QStringLiteral("1,pw,srv,usr,0"));
    auto c2 = ConnectConfig::parse(QStringLiteral("2,srv,pw,usr,0"));
    auto c3 = ConnectConfig::parse(QStringLiteral("3,srv,usr,pw,0,extra"));
    for (const auto& c : {c1, c2, c3}) {
        ASSERT_TRUE(c);
        EXPECT_EQ(c->server, QStringLiteral("srv"));
        EXPECT_EQ(c->user, QStringLiteral("usr"));
        EXPECT_EQ(c->password, QStringLiteral("pw"));
        EXPECT_FALSE(c->integrated);
    }
    auto bad = ConnectConfig::parse(QStringLiteral("4,srv,usr,pw,1"));
    ASSERT_TRUE(bad);
    EXPECT_TRUE(bad->server.isEmpty() && bad->user.isEmpty() && bad->password.isEmpty());
    EXPECT_TRUE(bad->integrated);
    EXPECT_FALSE(ConnectConfig::parse(QStringLiteral("3,srv,usr,pw")));
    EXPECT_FALSE(ConnectConfig::parse(QString()));
}

TEST(ConnectConfig, BuildsBothConnectionStringsExactly)
{
    ConnectConfig c{QStringLiteral("db01"), QStringLiteral("sa"), QStringLiteral("x"), false};
    EXPECT_EQ(c.connectionString(), QStringLiteral("Provider=SQLOLEDB;Server=db01;UID=sa;PWD=x;"
                                                   "Database=Talvery_ORVANE_DB"));
    c.integrated = true;
    EXPECT_EQ(c.connectionString(),
              QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security "
                             "Info=False;Initial Catalog=Talvery_ORVANE_DB;Data Source=db01"));
}

TEST(ConnectConfig, WriterStoresWhatTheReaderReadsAndKeepsOtherEntries)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("hr.ini"));
    writeAll(ini, "[Other]\r\nKey=Value\r\n\r\n[CONNECTINFO]\r\nNote=kept\r\n");
    for (int round = 0; round < 6; ++round) { // the order code is random: cover several
        ASSERT_TRUE(ConnectConfig::write(ini, QStringLiteral("srv"), false, QStringLiteral("sa"),
                                         QStringLiteral("p;w'd"), nullptr));
        const auto c = ConnectConfig::read(ini);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->server, QStringLiteral("srv"));
        EXPECT_EQ(c->user, QStringLiteral("sa"));
        EXPECT_EQ(c->password, QStringLiteral("p;w'd"));
        EXPECT_FALSE(c->integrated);
    }
    const QString text = readAll(ini);
    EXPECT_FALSE(text.contains(QStringLiteral("srv")));
    EXPECT_EQ(text.count(QStringLiteral("DBConnect=")), 1);
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("other"), QStringLiteral("KEY")),
              QStringLiteral("Value"));
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("ConnectInfo"), QStringLiteral("Note")),
              QStringLiteral("kept"));

    ASSERT_TRUE(ConnectConfig::write(ini, QStringLiteral("/var/lib/人事/hr.db"), true, {}, {}));
    const auto embedded = ConnectConfig::read(ini);
    ASSERT_TRUE(embedded);
    EXPECT_TRUE(embedded->integrated);
    EXPECT_EQ(embedded->server, QStringLiteral("/var/lib/人事/hr.db"));
}

TEST(ConnectConfig, UnusableStoredValuesCountAsNoConfiguration)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("hr.ini"));
    EXPECT_FALSE(ConnectConfig::read(ini));                     // no file
    writeAll(ini, "[ConnectInfo]\nDBConnect=1,pw,srv,usr,0\n"); // plain text, not enciphered
    EXPECT_FALSE(ConnectConfig::read(ini));
    const QString shortList = ConfigCipher::encipher(QStringLiteral("1,pw,srv,usr"));
    writeAll(ini, "[ConnectInfo]\nDBConnect=" + shortList.toLatin1() + "\n");
    EXPECT_FALSE(ConnectConfig::read(ini));

    // A comma would shift the fields: refused, and the file stays as it was.
    QString error;
    EXPECT_FALSE(ConnectConfig::write(ini, QStringLiteral("srv"), false, QStringLiteral("sa"),
                                      QStringLiteral("a,b"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(readAll(ini).contains(shortList));
}

TEST(IniFile, ReadsTrimmedValuesAndRefusesMultiLineValues)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("x.ini"));
    writeAll(ini, "\xEF\xBB\xBF; comment\n[A]\n  key =  spaced value  \n[B]\nkey=b\n");
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("a"), QStringLiteral("KEY")),
              QStringLiteral("spaced value"));
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("B"), QStringLiteral("key")), QStringLiteral("b"));
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("C"), QStringLiteral("key"), QStringLiteral(" d ")),
              QStringLiteral("d"));
    EXPECT_TRUE(
        IniFile::write(ini, QStringLiteral("A"), QStringLiteral("new"), QStringLiteral("n")));
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("A"), QStringLiteral("new")), QStringLiteral("n"));
    EXPECT_EQ(IniFile::read(ini, QStringLiteral("B"), QStringLiteral("key")), QStringLiteral("b"));
    EXPECT_FALSE(IniFile::write(ini, QStringLiteral("A"), QStringLiteral("k"),
                                QStringLiteral("x\n[Evil]\nk=y")));
    EXPECT_TRUE(IniFile::read(ini, QStringLiteral("Evil"), QStringLiteral("k")).isEmpty());
    EXPECT_FALSE(IniFile::write(dir.filePath(QStringLiteral("no/such/dir/x.ini")),
                                QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
}

TEST(PasswordHash, CoversExactlyNBytesOfTheUtf16Text)
{
    // Reference digests computed independently over utf-16le(text)[:len(text)].
    EXPECT_EQ(orvane::core::passwordHash(QString()), QString());
    EXPECT_EQ(orvane::core::passwordHash(QStringLiteral("a")),
              QStringLiteral("0CC175B9C0F1B6A831C399E269772661"));
    EXPECT_EQ(orvane::core::passwordHash(QStringLiteral("abc")),
              QStringLiteral("70350F6027BCE3713F6B76473084309B"));
    EXPECT_EQ(orvane::core::passwordHash(QStringLiteral("admin")),
              QStringLiteral("A669ABD14698035A35DABE625C0F5829"));
    EXPECT_EQ(orvane::core::passwordHash(QStringLiteral("中文密码")),
              QStringLiteral("73C6C8CD2F94355EF015E5265D5E65B1"));
    EXPECT_EQ(orvane::core::passwordHash(QStringLiteral("12345678901234")),
              QStringLiteral("8B29265D7A5BE24E264798140983D92D"));
}

TEST(SqlText, DoublesEverySingleQuote)
{
    EXPECT_EQ(orvane::core::sqlEscape(QStringLiteral("O'Brien''")), QStringLiteral("O''Brien''''"));
    EXPECT_EQ(orvane::core::sqlQuote(QStringLiteral("'; DROP TABLE qp_Users; --")),
              QStringLiteral("'''; DROP TABLE qp_Users; --'"));
}

TEST(AppSettings, DefaultsAndStoredValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    {
        AppSettings s(file);
        EXPECT_EQ(s.saveUserPwd(), 0);
        EXPECT_EQ(s.applicationLook(), 213);
        EXPECT_EQ(s.bannerHeight(), 56);
        EXPECT_EQ(s.wakeupPerTime(), 60);
        EXPECT_EQ(s.idleLockTime(), 30);
        EXPECT_EQ(s.exitYesNo(), 1);
        EXPECT_EQ(s.mdiTabsType(), 1);
        EXPECT_EQ(s.mdiTabsLocation(), 0);
        EXPECT_EQ(s.pWholeRowSel(), 1);
        EXPECT_EQ(s.bkColor(0x123456), 0x123456);
        EXPECT_EQ(s.userName(), QString());
        s.setIdleLockTime(5);
        s.setUserName(QStringLiteral("张三"));
        s.setValue("BannerHeight", QStringLiteral("tall")); // not a number: default
        s.sync();
    }
    AppSettings again(file);
    EXPECT_EQ(again.idleLockTime(), 5);
    EXPECT_EQ(again.userName(), QStringLiteral("张三"));
    EXPECT_EQ(again.bannerHeight(), 56);
    EXPECT_TRUE(readAll(file).contains(QStringLiteral("[Settings]")));
}

TEST(LeadingInt, ReadsLikeTheCLibrary)
{
    using orvane::core::leadingInt;
    EXPECT_EQ(leadingInt(QStringLiteral(" 30")), 30);
    EXPECT_EQ(leadingInt(QStringLiteral("-7days")), -7);
    EXPECT_EQ(leadingInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(leadingInt(QString()), 0);
    EXPECT_EQ(leadingInt(QStringLiteral("99999999999")), 2147483647);
}
