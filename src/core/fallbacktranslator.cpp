#include "core/fallbacktranslator.h"

#include <QCoreApplication>

#include <cstring>

namespace orvane::core {

QString FallbackTranslator::translate(const char* context, const char* sourceText,
                                      const char* disambiguation, int n) const
{
    if (!context || std::strcmp(context, "QAbstractFileIconProvider") != 0)
        return QString();
    const QString text = QCoreApplication::translate("QFileDialog", sourceText, disambiguation, n);
    return text == QLatin1String(sourceText) ? QString() : text;
}

} // namespace orvane::core
