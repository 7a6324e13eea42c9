#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>

// Takes the locale from the environment so that a second run under a locale with a decimal
// comma shows whether any conversion depends on it.
int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::runtime_error&) {
        // Unknown locale name: keep the classic one.
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
