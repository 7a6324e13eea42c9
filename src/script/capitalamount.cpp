#include "script/capitalamount.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane::script {

namespace {

constexpr const char* kDigits[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
constexpr const char* kPlaces[] = {"仟", "佰", "拾", ""};
constexpr const char* kGroupUnits[] = {"万", "亿", "万", ""};

} // namespace

std::string capitalAmount(double amount)
{
    if (!std::isfinite(amount))
        return {};
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%019.2f", std::fabs(amount));
    // 16 integer digits, the point, 2 decimals; anything longer does not fit the groups.
    if (n != 19 || text[16] != '.')
        return {};

    std::string out;
    bool started = false; // a non-zero digit has been written
    bool zero = false;    // zeros were passed since the last written digit
    bool topGroup = false;
    for (int g = 0; g < 4; ++g) {
        bool groupNonZero = false;
        for (int p = 0; p < 4; ++p) {
            const int d = text[g * 4 + p] - '0';
            if (d == 0) {
                zero = started;
                continue;
            }
            if (zero)
                out += kDigits[0];
            zero = false;
            out += kDigits[d];
            out += kPlaces[p];
            started = true;
            groupNonZero = true;
        }
        if (g == 0)
            topGroup = groupNonZero;
        // Ten-thousands of 亿 ("壹万亿") still need the 亿 when their own group is all zeros.
        if (groupNonZero || (g == 1 && topGroup))
            out += kGroupUnits[g];
    }
    out += started ? "元" : "零元";

    const int jiao = text[17] - '0';
    const int fen = text[18] - '0';
    if (jiao != 0) {
        out += kDigits[jiao];
        out += "角";
    }
    if (fen != 0) {
        if (jiao == 0 && started)
            out += kDigits[0];
        out += kDigits[fen];
        out += "分";
    }
    if (jiao == 0 && fen == 0)
        out += "整";
    return out;
}

} // namespace orvane::script
