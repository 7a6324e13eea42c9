#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace orvane::core {

// One field of a catalogue table as the search and statistics dialogs keep it: fixed-size name
// buffers (longer texts are cut), 16-bit type codes and a zero-filled work area that those
// dialogs use for the field's condition values.
struct tagORVANEITEMINFO
{
    static constexpr int NameSize = 30;    // at most 29 characters
    static constexpr int AliasSize = 50;   // at most 49 characters
    static constexpr int TableSize = 20;   // at most 19 characters
    static constexpr int WorkSize = 256;

    int ItemID = 0;
    std::array<char16_t, NameSize> Name{};
    std::array<char16_t, AliasSize> Alias{};
    std::array<char16_t, TableSize> TblName{};
    qint16 iDataType = 0;
    qint16 iDec = 0;
    qint16 iChoice = 0;
    std::array<char16_t, WorkSize> Work{};

    QString name() const { return read(Name.data()); }
    QString alias() const { return read(Alias.data()); }
    QString tableName() const { return read(TblName.data()); }
    void setName(const QString& text) { write(Name.data(), NameSize, text); }
    void setAlias(const QString& text) { write(Alias.data(), AliasSize, text); }
    void setTableName(const QString& text) { write(TblName.data(), TableSize, text); }

private:
    static QString read(const char16_t* buffer) { return QString::fromUtf16(buffer); }
    static void write(char16_t* buffer, int size, const QString& text)
    {
        const int count = qMin(int(text.size()), size - 1);
        for (int i = 0; i < count; ++i)
            buffer[i] = text.at(i).unicode();
        for (int i = count; i < size; ++i)
            buffer[i] = 0;
    }
};

} // namespace orvane::core
