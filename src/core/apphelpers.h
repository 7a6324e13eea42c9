#pragma once

#include <QString>
#include <QStringList>

namespace orvane::core {

class Prompter;

// Small helpers the whole client shares: period and colour texts, number and bracket checks,
// splitting, and the formatted error boxes.

// A period fDate (year * 100 + month) as "2024年03月".
QString monthText(int fDate);

// A colour value (red + green * 256 + blue * 65536) as six lower-case hex digits "rrggbb".
QString colorText(int colorValue);
// "#rrggbb" back to red + green * 256 + blue * 65536; -1 for any text that is not exactly a '#'
// and three hexadecimal pairs.
int parseColorText(const QString& text);

// True when the trimmed text is not empty, holds only "+-.0123456789", has a sign only in its
// first position and at most one '.'.
bool isNumberText(const QString& text);

// Cuts `text` at every `delimiter` into `parts` (empty parts kept, an empty text gives none) and
// returns their number.
int splitText(const QString& text, QChar delimiter, QStringList& parts);

// True when `open` and `close` occur equally often in `text`.
bool pairBalanced(const QString& text, QChar open, QChar close);

// Asks where to export a list ("导出", Excel files): the chosen path cleaned, with ".xlsx" added
// unless it names an Excel file; empty when the operator cancels.
QString askExportPath(Prompter& prompter);

// A printf-style error box (at most 1022 characters) with the caption "提示" and the error icon.
void errorBox(Prompter& prompter, const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
// The text of the system-error box: "<operation> failed with error <n>: <system text>".
QString systemErrorText(const QString& operation, int errorNumber);
// Shows systemErrorText for the last system error (errno) under the caption "Error".
void systemErrorBox(Prompter& prompter, const QString& operation);

} // namespace orvane::core
