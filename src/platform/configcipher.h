#pragma once

#include <QString>

#include <optional>

namespace orvane::platform {

// Reversible, tamper-evident cipher for the local configuration (the connection settings in
// hr.ini and the remembered password). AES-256-GCM with a key derived inside the program and a
// fresh random nonce per call; the result is base64 of nonce | ciphertext | tag.
class ConfigCipher
{
public:
    // The enciphered form of `plain` (UTF-8 inside); empty only when OpenSSL fails.
    static QString encipher(const QString& plain);
    // The text that was enciphered, or nothing when `cipherText` is not base64, too short,
    // altered, or enciphered with another key.
    static std::optional<QString> decipher(const QString& cipherText);

    // The mode-style entry point of the configuration library: mode 0 enciphers, mode 1
    // deciphers; a failed decipher gives the empty text.
    static QString transform(int mode, const QString& input);
};

} // namespace orvane::platform
