#pragma once

namespace orvane::script {

// Error number and text reported when a run uses up its step budget. The run ends at once; On
// Error Resume Next cannot continue it.
inline constexpr int kStepBudgetError = 17;
inline constexpr const char* kStepBudgetText = "Script step budget exceeded";

} // namespace orvane::script
