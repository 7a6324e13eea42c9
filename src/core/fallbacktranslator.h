#pragma once

#include <QTranslator>

namespace orvane::core {

// Fills gaps of the installed Qt translations: some texts moved to a new context in Qt 6 (the
// file type names of QAbstractFileIconProvider) while the Chinese catalogue still has them under
// the old one (QFileDialog). Asked last, it answers from the old context.
class FallbackTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace orvane::core
