// A stand-in for the identity-card reader library, built for the tests only. It answers the four
// calls and, on a successful read, writes wz.txt (UTF-16LE at the fixed positions) and zp.bmp
// next to itself. ORVANE_TERMB_MODE picks the behaviour: ok (default), noport, usbonly, serial,
// noauth, readfail, short, nation99, garbage.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string mode()
{
    const char* m = std::getenv("ORVANE_TERMB_MODE");
    return m ? m : "ok";
}

std::string folder()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&folder), &info);
    std::string path = info.dli_fname ? info.dli_fname : "./x";
    return path.substr(0, path.find_last_of('/'));
}

// Appends `text` (UTF-8) as UTF-16LE, padded with spaces to `width` characters.
void field(std::u16string& out, const char16_t* text, size_t width)
{
    std::u16string value(text);
    value.resize(width, u' ');
    out += value;
}

void writeFiles()
{
    std::u16string text;
    const std::string m = mode();
    field(text, u"张三丰", 15);
    field(text, u"1", 1);
    field(text, m == "nation99" ? u"99" : (m == "garbage" ? u"x!" : u"03"), 2);
    field(text, m == "garbage" ? u"1990-13-" : u"19900215", 8);
    field(text, u"北京市海淀区中关村大街1号", 35);
    field(text, u"11010819900215123X", 18);
    field(text, u"公安局", 49);
    if (m == "short")
        text.resize(40);
    std::FILE* f = std::fopen((folder() + "/wz.txt").c_str(), "wb");
    if (f) {
        for (char16_t c : text) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(c & 0xff),
                                            static_cast<unsigned char>(c >> 8)};
            std::fwrite(bytes, 1, 2, f);
        }
        std::fclose(f);
    }
    // A small 24-bit portrait: a head and shoulders on a pale blue ground.
    const int width = 102, height = 126, stride = width * 3 + 2;
    std::string bmp(54 + stride * height, '\0');
    const auto put32 = [&bmp](size_t at, unsigned value) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = char((value >> (8 * i)) & 0xff);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, unsigned(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int top = height - 1 - y; // rows are stored bottom up
            const int dx = x - width / 2, dy = top - 48;
            const bool head = dx * dx + dy * dy * 3 / 4 < 22 * 22;
            const bool body = top > 78 && dx * dx < (top - 58) * (top - 58);
            const unsigned char grey = head ? 90 : (body ? 60 : 0);
            char* px = &bmp[54 + size_t(y) * stride + size_t(x) * 3];
            px[0] = char(grey ? grey + 10 : 235); // blue
            px[1] = char(grey ? grey : 215);
            px[2] = char(grey ? grey : 190);
        }
    f = std::fopen((folder() + "/zp.bmp").c_str(), "wb");
    if (f) {
        std::fwrite(bmp.data(), 1, bmp.size(), f);
        std::fclose(f);
    }
}

} // namespace

extern "C" {

int CVR_InitComm(int port)
{
    const std::string m = mode();
    if (m == "noport")
        return 0;
    if (m == "serial")
        return port == 3 ? 1 : 0;
    return port == 1001 ? 1 : 0;
}

int CVR_CloseComm()
{
    return 1;
}

int CVR_Authenticate()
{
    return mode() == "noauth" ? 0 : 1;
}

int CVR_Read_Content(int active)
{
    if (mode() == "readfail" || active != 1)
        return 0;
    writeFiles();
    return 1;
}
}
