#pragma once

#include <QString>

namespace orvane::db {

// Builds the error block of the data access classes:
// "<header> Error\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n\tDescription = %s\n".
QString formatAdoError(const QString& header, quint32 code, const QString& source,
                       const QString& description);

// The system's text for an error code ("Unspecified error", ...).
QString errorCodeMeaning(quint32 code);

} // namespace orvane::db
