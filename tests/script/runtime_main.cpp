#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <locale>

namespace {

// Decimal comma and point grouping for C++ streams, as a German locale has them.
struct CommaDecimal : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

// Takes the C locale from the environment, and gives C++ streams a decimal comma when it has
// one, so that a second run under such a locale shows whether any conversion depends on it.
// (std::locale("") is avoided: the library keeps its allocation until exit, which the leak
// checker reports.)
int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    if (std::strcmp(std::localeconv()->decimal_point, ",") == 0)
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
