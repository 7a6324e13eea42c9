#pragma once

#include <QString>

#include <optional>

namespace orvane::core {

// The connection settings kept enciphered in hr.ini (section ConnectInfo, key DBConnect).
// Deciphered the value is "code,f1,f2,f3,integrated": the order code 1, 2 or 3 tells which of
// f1..f3 hold the server, the user and the password.
struct ConnectConfig
{
    QString server; // server name or address, or the path of an embedded database file
    QString user;
    QString password;
    bool integrated = false; // integrated security: no user and password

    // The name of the system's database on a server.
    static QString databaseName() { return QStringLiteral("Talvery_ORVANE_DB"); }

    // The connection string for these settings (the integrated or the login form).
    QString connectionString() const;

    // Parses the deciphered field list; fewer than five fields give nothing. An unknown order
    // code leaves server, user and password empty.
    static std::optional<ConnectConfig> parse(const QString& fields);
    // The field list with the given order code (1 to 3).
    QString format(int orderCode) const;

    // Reads and deciphers DBConnect from the file; nothing when missing or unusable.
    static std::optional<ConnectConfig> read(const QString& iniPath);
    // Enciphers and stores the settings in the file with a randomly chosen order code.
    // Refuses texts that could not be read back (a ',' or a line break).
    static bool write(const QString& iniPath, const QString& server, bool integrated,
                      const QString& user, const QString& password, QString* error = nullptr);
};

} // namespace orvane::core
