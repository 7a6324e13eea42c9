#include "platform/configcipher.h"

#include <QByteArray>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <memory>

namespace orvane::platform {

namespace {

constexpr int kKeySize = 32;
constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// The key never appears in the binary as such: it is derived from a built-in phrase and salt.
const std::array<unsigned char, kKeySize>& configKey()
{
    static const std::array<unsigned char, kKeySize> key = [] {
        std::array<unsigned char, kKeySize> k{};
        static const char phrase[] = "Orvane/ConnectInfo/DBConnect#2";
        static const unsigned char salt[] = {0x4f, 0x72, 0x76, 0x61, 0x6e, 0x65, 0x9a, 0x11,
                                             0x3c, 0xe5, 0x07, 0x52, 0xd8, 0x6b, 0x20, 0xf4};
        PKCS5_PBKDF2_HMAC(phrase, int(sizeof(phrase) - 1), salt, int(sizeof(salt)), 20000,
                          EVP_sha256(), kKeySize, k.data());
        return k;
    }();
    return key;
}

} // namespace

QString ConfigCipher::encipher(const QString& plain)
{
    const QByteArray data = plain.toUtf8();
    QByteArray out(kNonceSize + data.size() + kTagSize, '\0');
    auto* nonce = reinterpret_cast<unsigned char*>(out.data());
    auto* body = nonce + kNonceSize;
    if (RAND_bytes(nonce, kNonceSize) != 1)
        return QString();

    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    int len = 0;
    int total = 0;
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) != 1 ||
        EVP_EncryptInit_ex(ctx.get(), nullptr, nullptr, configKey().data(), nonce) != 1)
        return QString();
    if (!data.isEmpty() &&
        EVP_EncryptUpdate(ctx.get(), body, &len,
                          reinterpret_cast<const unsigned char*>(data.constData()),
                          int(data.size())) != 1)
        return QString();
    total = len;
    if (EVP_EncryptFinal_ex(ctx.get(), body + total, &len) != 1)
        return QString();
    total += len;
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagSize, body + total) != 1)
        return QString();
    out.resize(kNonceSize + total + kTagSize);
    return QString::fromLatin1(out.toBase64());
}

std::optional<QString> ConfigCipher::decipher(const QString& cipherText)
{
    const QByteArray text = cipherText.trimmed().toLatin1();
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (text.isEmpty() || !decoded || (*decoded).size() < kNonceSize + kTagSize)
        return std::nullopt;
    // Latin-1 conversion maps non-Latin characters to '?', which base64 refuses above.
    const QByteArray& raw = *decoded;
    const auto* nonce = reinterpret_cast<const unsigned char*>(raw.constData());
    const auto* body = nonce + kNonceSize;
    const int bodySize = int(raw.size()) - kNonceSize - kTagSize;
    QByteArray tag = raw.right(kTagSize);

    QByteArray plain(bodySize, '\0');
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    int len = 0;
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, kNonceSize, nullptr) != 1 ||
        EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, configKey().data(), nonce) != 1)
        return std::nullopt;
    if (bodySize > 0 && EVP_DecryptUpdate(ctx.get(), out, &len, body, bodySize) != 1)
        return std::nullopt;
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) != 1)
        return std::nullopt;
    int finalLen = 0;
    if (EVP_DecryptFinal_ex(ctx.get(), out + len, &finalLen) != 1)
        return std::nullopt; // tag mismatch: altered or foreign
    return QString::fromUtf8(plain);
}

QString ConfigCipher::transform(int mode, const QString& input)
{
    if (mode == 0)
        return encipher(input);
    return decipher(input).value_or(QString());
}

} // namespace orvane::platform
