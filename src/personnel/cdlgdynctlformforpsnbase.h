#pragma once

#include "personnel/cdlgdynctlformbase.h"
#include "personnel/psnnumberrule.h"

#include <QByteArray>

#include <functional>
#include <memory>

namespace orvane::platform {
class IdCardReader;
}

namespace orvane::personnel {

// The personnel form: the record form on qp_PsnBase (key PID) with the personnel-number rule,
// the checks of category, department and number, the photo and the identity-card reader.
class CDlgDynCtlFormForPsnbase : public CDlgDynCtlFormBase
{
public:
    CDlgDynCtlFormForPsnbase(core::COrvaneApp& app, core::Prompter& prompter);
    ~CDlgDynCtlFormForPsnbase() override;

    bool build() override;
    bool load() override;
    bool save() override;
    bool leave() override;

    const PsnNumberRule& numberRule() const { return m_rule; }
    // The number a new person in department `did` gets now (mode 3: the typed text).
    QString proposedNumber(int did) const;
    static QString autoNumberText();

    // The photo shown on the form (file bytes; empty: none).
    const QByteArray& photo() const { return m_photo; }
    // Reads a picture file into the photo; refuses files that are not pictures or too large.
    bool loadPhotoFile(const QString& path);
    // Asks "确定要清除图片吗?" and empties the photo on Yes.
    bool clearPhoto();
    static constexpr qint64 MaxPhotoBytes = 4 * 1024 * 1024;

    // The read-card command; true when fields were filled.
    bool readCard();
    // Called when the form is cancelled: the reader's port is closed.
    void cancel();

    // Called after each successful save with the PID (the personnel view refreshes).
    std::function<void(int pid)> onSaved;

protected:
    QDate defaultDate(const FieldRecord& field) const override;
    void applyDefaults() override;

private:
    bool storePhoto(int pid, const QString& number, const QString& name);
    QString editorText(const QString& field) const;
    int editorId(const QString& field) const;
    void putCardText(const QString& field, const QString& text);

    PsnNumberRule m_rule;
    QString m_numberAtOpening;
    QByteArray m_photo;
    bool m_photoChanged = false;
    std::unique_ptr<platform::IdCardReader> m_reader;
};

} // namespace orvane::personnel
