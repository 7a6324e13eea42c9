#include "core/apphelpers.h"
#include "testutil/scriptedprompter.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace orvane::core;

TEST(AppHelpers, MonthText)
{
    EXPECT_EQ(monthText(202403), QStringLiteral("2024年03月"));
    EXPECT_EQ(monthText(199912), QStringLiteral("1999年12月"));
}

TEST(AppHelpers, ColorTextAndParse)
{
    const int value = 0x12 + 0xab * 256 + 0x0f * 65536; // red 12, green ab, blue 0f
    EXPECT_EQ(colorText(value), QStringLiteral("12ab0f"));
    EXPECT_EQ(parseColorText(QStringLiteral("#12AB0F")), value);
    EXPECT_EQ(parseColorText(QLatin1Char('#') + colorText(value)), value);
    for (const char* bad : {"", "#12ab0", "#12ab0f0", "12ab0f0", "#12xb0f", "#+1ab0f"})
        EXPECT_EQ(parseColorText(QString::fromLatin1(bad)), -1) << bad;
}

TEST(AppHelpers, NumberCheck)
{
    const struct
    {
        const char* text;
        bool number;
    } cases[] = {{" 12.5 ", true}, {"-3", true},   {"+.5", true},    {"", false},
                 {"   ", false},   {"1-2", false}, {"1.2.3", false}, {"1e5", false},
                 {"--1", false},   {"12a", false}, {"0", true}};
    for (const auto& c : cases)
        EXPECT_EQ(isNumberText(QString::fromLatin1(c.text)), c.number) << c.text;
}

TEST(AppHelpers, SplitKeepsEmptyParts)
{
    QStringList parts{QStringLiteral("stale")};
    EXPECT_EQ(splitText(QString(), QLatin1Char(','), parts), 0);
    EXPECT_TRUE(parts.isEmpty());
    EXPECT_EQ(splitText(QStringLiteral("a,,b,"), QLatin1Char(','), parts), 4);
    EXPECT_EQ(parts, (QStringList{"a", "", "b", ""}));
    EXPECT_EQ(splitText(QStringLiteral("abc"), QLatin1Char('|'), parts), 1);
}

TEST(AppHelpers, PairBalance)
{
    EXPECT_TRUE(pairBalanced(QStringLiteral("IIF((a>1),2,3)"), '(', ')'));
    EXPECT_FALSE(pairBalanced(QStringLiteral("IIF((a>1),2,3"), '(', ')'));
    EXPECT_TRUE(pairBalanced(QStringLiteral("[a][b]"), '[', ']'));
}

TEST(AppHelpers, ErrorBoxes)
{
    orvane::testutil::ScriptedPrompter prompter;
    errorBox(prompter, "第%d行: %s", 3, "语法错误");
    errorBox(prompter, "%s", QByteArray(3000, 'x').constData());
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("第3行: 语法错误"));
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.shown()[0].icon, Prompter::Icon::Error);
    EXPECT_EQ(prompter.shown()[1].text.size(), 1022);

    errno = ENOENT;
    systemErrorBox(prompter, QStringLiteral("OpenFile"));
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("OpenFile failed with error 2: ")));
    EXPECT_EQ(prompter.last().caption, QStringLiteral("Error"));
}
