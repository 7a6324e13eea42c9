#pragma once

#include <QString>

namespace orvane::core {

// Get or put one value of a section of a private profile file such as hr.ini. Section and key
// names compare without regard to case; a write keeps every other line of the file.
class IniFile
{
public:
    // The value trimmed of blanks, or `defaultValue` when the file, section or key is missing.
    static QString read(const QString& path, const QString& section, const QString& key,
                        const QString& defaultValue = QString());
    // Writes the file as UTF-8 through a temporary file, so a failed write leaves the old file.
    static bool write(const QString& path, const QString& section, const QString& key,
                      const QString& value, QString* error = nullptr);
};

} // namespace orvane::core
