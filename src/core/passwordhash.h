#pragma once

#include <QString>

namespace orvane::core {

// The stored form of a password (qp_Users.Pwd): MD5 over the first n bytes of the UTF-16LE
// encoding of an n-character password, as 32 upper-case hex digits; "" for "". Every stored hash
// depends on these exact bytes, so this must never change.
QString passwordHash(const QString& password);

} // namespace orvane::core
