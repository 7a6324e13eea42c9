#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace orvane::core {

// The application's "Settings" section of the user profile (organisation "TalverySoft",
// application "Orvane"), with each value's type and default in one place.
class AppSettings
{
public:
    // The user's profile.
    AppSettings();
    // An INI file instead of the profile (tests, portable installs).
    explicit AppSettings(const QString& iniFile);
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    int saveUserPwd() const { return intValue("SaveUserPwd", 0); }
    void setSaveUserPwd(int v) { setValue("SaveUserPwd", v); }
    QString userName() const { return textValue("UserName"); }
    void setUserName(const QString& v) { setValue("UserName", v); }
    // Remembered password, enciphered.
    QString password() const { return textValue("Password"); }
    void setPassword(const QString& v) { setValue("Password", v); }

    int applicationLook() const { return intValue("ApplicationLook", 213); }
    void setApplicationLook(int v) { setValue("ApplicationLook", v); }
    int mdiTabsType() const { return intValue("MDITabsType", 1); }
    void setMdiTabsType(int v) { setValue("MDITabsType", v); }
    int mdiTabsLocation() const { return intValue("MDITabsLocation", 0); }
    void setMdiTabsLocation(int v) { setValue("MDITabsLocation", v); }
    int outlookAnimation() const { return intValue("OutlookAnimation", 1); }
    void setOutlookAnimation(int v) { setValue("OutlookAnimation", v); }
    int bannerHeight() const { return intValue("BannerHeight", 56); }
    void setBannerHeight(int v) { setValue("BannerHeight", v); }
    int enableWakeup() const { return intValue("EnableWakeup", 1); }
    void setEnableWakeup(int v) { setValue("EnableWakeup", v); }
    int wakeupPerTime() const { return intValue("WakeupPerTime", 60); }
    void setWakeupPerTime(int v) { setValue("WakeupPerTime", v); }
    int enableIdleLocked() const { return intValue("EnableIdleLocked", 1); }
    void setEnableIdleLocked(int v) { setValue("EnableIdleLocked", v); }
    int idleLockTime() const { return intValue("IdleLockTime", 30); }
    void setIdleLockTime(int v) { setValue("IdleLockTime", v); }
    int exitYesNo() const { return intValue("ExitYesNO", 1); }
    void setExitYesNo(int v) { setValue("ExitYesNO", v); }
    int bkMode() const { return intValue("BkMode", 0); }
    void setBkMode(int v) { setValue("BkMode", v); }
    int originX() const { return intValue("OriginX", 0); }
    void setOriginX(int v) { setValue("OriginX", v); }
    int originY() const { return intValue("OriginY", 0); }
    void setOriginY(int v) { setValue("OriginY", v); }
    // The default colour is chosen by the caller at run time.
    int bkColor(int runtimeDefault) const { return intValue("BkColor", runtimeDefault); }
    void setBkColor(int v) { setValue("BkColor", v); }
    QString bkPicture() const { return textValue("BkPicture"); }
    void setBkPicture(const QString& v) { setValue("BkPicture", v); }
    int enterAction() const { return intValue("EnterAction", 0); }
    void setEnterAction(int v) { setValue("EnterAction", v); }
    int pWholeRowSel() const { return intValue("pWholeRowSel", 1); }
    void setPWholeRowSel(int v) { setValue("pWholeRowSel", v); }
    int wWholeRowSel() const { return intValue("wWholeRowSel", 1); }
    void setWWholeRowSel(int v) { setValue("wWholeRowSel", v); }

    // Any value of the section by name; an integer value that is missing or not a number gives
    // the default.
    int intValue(const char* name, int defaultValue) const;
    QString textValue(const char* name, const QString& defaultValue = QString()) const;
    void setValue(const char* name, const QVariant& value);
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace orvane::core
