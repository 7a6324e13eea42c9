#pragma once

#include "db/adotypes.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>

namespace orvane::db {

// One parameter of a command. Copies share the same parameter: after CADOCommand::AddParameter
// the caller's object still sees the value the command stores into it (return values and
// outputs).
class CADOParameter
{
public:
    CADOParameter(int type = adInteger, qint64 size = 0, int direction = adParamInput,
                  const QString& name = QString());

    QString GetName() const;
    void SetName(const QString& name);
    int GetType() const;
    int GetDirection() const;
    qint64 GetSize() const;
    void SetSize(qint64 size);

    bool SetValue(int value);
    bool SetValue(qint64 value);
    bool SetValue(double value);
    bool SetValue(bool value);
    bool SetValue(const QString& value);
    bool SetValue(const char* value);
    bool SetValue(const QDateTime& value);
    bool SetValue(const QVariant& value);

    // Typed reads; a null value gives 0, an invalid date or the empty text and succeeds.
    bool GetValue(int& value);
    bool GetValue(qint64& value);
    bool GetValue(double& value);
    bool GetValue(QDateTime& value);
    // Text form as CADORecordset::GetFieldValue gives it.
    bool GetValue(QString& value, const QString& dateFormat = QStringLiteral("%Y-%m-%d %H:%M:%S"));
    QVariant GetValue() const;

    // "CADOParameter Error\n\tCode = ...\n\tCode meaning = ...\n\tSource = ...\n\tDescription =
    // ...\n"
    QString GetLastErrorString() const;

private:
    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace orvane::db
