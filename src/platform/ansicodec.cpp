#include "platform/ansicodec.h"

#include <iconv.h>

#include <cerrno>

namespace orvane::platform {

namespace {

// One conversion descriptor per call: iconv keeps state and is not shared between threads.
class Converter
{
public:
    Converter() : m_cd(iconv_open("GBK", "UTF-16LE")) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

std::optional<QByteArray> AnsiCodec::encode(const QString& text, qsizetype* badIndex)
{
    Converter converter;
    if (!converter.valid()) {
        if (badIndex)
            *badIndex = 0;
        return std::nullopt;
    }
    const char16_t* utf16 = reinterpret_cast<const char16_t*>(text.utf16());
    char* in = const_cast<char*>(reinterpret_cast<const char*>(utf16));
    size_t inLeft = size_t(text.size()) * 2;
    QByteArray out(text.size() * 2 + 16, Qt::Uninitialized);
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(converter.handle(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = size_t(out.size() - used);
            continue;
        }
        if (badIndex)
            *badIndex = qsizetype(in - reinterpret_cast<const char*>(utf16)) / 2;
        return std::nullopt;
    }
    out.resize(outPtr - out.data());
    return out;
}

qsizetype AnsiCodec::firstUnencodable(const QString& text)
{
    qsizetype bad = -1;
    if (encode(text, &bad))
        return -1;
    return bad;
}

} // namespace orvane::platform
