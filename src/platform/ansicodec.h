#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvane::platform {

// The multibyte code page that banks' import programs read: GBK, without a byte-order mark.
class AnsiCodec
{
public:
    // The GBK bytes of `text`, or nothing when a character cannot be written in GBK; then
    // `badIndex` (when given) receives the index of the first such character in `text`.
    static std::optional<QByteArray> encode(const QString& text, qsizetype* badIndex = nullptr);
    // Index of the first character GBK cannot hold, -1 when every one fits.
    static qsizetype firstUnencodable(const QString& text);
};

} // namespace orvane::platform
