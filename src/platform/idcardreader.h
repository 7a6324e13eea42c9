#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <memory>

class QLibrary;

namespace orvane::platform {

// What an identity card gives, read from the reader's text file.
struct IdCardData
{
    QString name;
    QString sex; // "男" or "女"
    QString nation;
    QDate birthday; // null when the file's date does not parse
    QString address;
    QString idNumber;
};

// The identity-card reader library ("termb.dll", on this platform "libtermb.so"), loaded at run
// time from the program folder. Only its four calls are used: CVR_InitComm(port),
// CVR_Authenticate(), CVR_Read_Content(1) and CVR_CloseComm(), each returning 1 on success.
// After a successful read the library leaves "wz.txt" (UTF-16 text at fixed positions) and
// "zp.bmp" (the photo) in the program folder.
class IdCardReader
{
public:
    enum class Result { NoLibrary, PortFailed, NotAuthenticated, ReadFailed, BadText, Ok };

    explicit IdCardReader(const QString& programFolder);
    ~IdCardReader();
    IdCardReader(const IdCardReader&) = delete;
    IdCardReader& operator=(const IdCardReader&) = delete;

    bool isLoaded() const { return m_init && m_close && m_authenticate && m_read; }

    // Opens a port (USB 1001..1016, then serial 1..16), authenticates, reads the card and its two
    // files (deleted afterwards), and closes the port again.
    Result read(IdCardData& data, QByteArray& photo);
    // Closes the port (the form calls it when cancelled).
    void closePort();

    // The text file's first 256 bytes as UTF-16; false when they are too short for the fixed
    // positions.
    static bool parseText(const QByteArray& bytes, IdCardData& data);
    // The nationality's name by its GB/T 3304 code; empty for any code outside 1-56, 97, 98.
    static QString nationName(int code);

private:
    using InitFn = int (*)(int);
    using VoidFn = int (*)();
    using ReadFn = int (*)(int);

    std::unique_ptr<QLibrary> m_library;
    QString m_folder;
    InitFn m_init = nullptr;
    VoidFn m_close = nullptr;
    VoidFn m_authenticate = nullptr;
    ReadFn m_read = nullptr;
};

} // namespace orvane::platform
