#include "db/adoerror.h"

#include "db/backend.h"

namespace orvane::db {

QString errorCodeMeaning(quint32 code)
{
    switch (code) {
    case kErrorUnspecified:
        return QStringLiteral("Unspecified error");
    case kErrorCommandText:
        return QStringLiteral("IDispatch error #3092");
    case kErrorNotFound:
        return QStringLiteral("Item cannot be found in the collection");
    case kErrorClosed:
        return QStringLiteral("Operation is not allowed when the object is closed");
    case kErrorNoCurrentRow:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted");
    case kErrorNotAllowed:
        return QStringLiteral("Operation is not allowed in this context");
    default:
        return QStringLiteral("Unknown error 0x%1").arg(code, 8, 16, QLatin1Char('0'));
    }
}

QString formatAdoError(const QString& header, quint32 code, const QString& source,
                       const QString& description)
{
    return QStringLiteral("%1 Error\n\tCode = %2\n\tCode meaning = %3\n\tSource = %4\n"
                          "\tDescription = %5\n")
        .arg(header, QStringLiteral("%1").arg(code, 8, 16, QLatin1Char('0')),
             errorCodeMeaning(code), source, description);
}

} // namespace orvane::db
