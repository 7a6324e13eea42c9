#pragma once

#include <functional>

namespace orvane::core {

class COrvaneApp;

// What happens before the main frame exists: translations and locale, the visual style, the
// login (which itself asks for connection settings when hr.ini holds none), the log retention,
// then the hand-over to the main frame. The dialogs and the frame are supplied as callbacks so
// the sequence runs (and is tested) without widgets.
class StartupFlow
{
public:
    explicit StartupFlow(COrvaneApp& app);

    // Applies the stored visual style (ApplicationLook) before any window shows.
    std::function<void(int look)> applyLook;
    // Runs the login dialog (not in re-login mode); true when it ended with OK.
    std::function<bool()> runLogin;
    // Creates and shows the main frame; false when it could not be created.
    std::function<bool()> createMainFrame;

    // The whole sequence; false when the program is to end without a main frame.
    bool run();

    // The visual style read at start-up (ApplicationLook).
    int applicationLook() const { return m_look; }

    // Makes the client Chinese whatever the system locale: Qt's own Chinese translations
    // (standard buttons and dialogs) and zh_CN as the default locale (calendars, date editors,
    // numbers). False when the translations are not installed; the locale is set regardless.
    static bool installTranslations();
    // Called before the application object exists: makes zh_CN the system locale of the run,
    // whatever the machine is set to.
    static void preferChineseSystemLocale();

private:
    COrvaneApp& m_app;
    int m_look = 0;
};

} // namespace orvane::core
