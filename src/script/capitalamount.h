#pragma once

#include <string>

namespace orvane::script {

// An amount written in Chinese capital numerals, as on cheques and payslips:
// 1234.5 -> "壹仟贰佰叁拾肆元伍角", 10000 -> "壹万元整". The absolute value is written, rounded
// to fen; amounts of 10^16 and above give an empty text.
std::string capitalAmount(double amount);

} // namespace orvane::script
