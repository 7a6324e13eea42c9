#pragma once

#include <functional>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class COrvaneApp;

// What happens before the main frame exists: translations, connection settings, login, the log
// retention, then the hand-over to the main frame. The dialogs and the frame are supplied as
// callbacks so the sequence runs (and is tested) without widgets.
class StartupFlow
{
public:
    explicit StartupFlow(COrvaneApp& app);

    // Runs when hr.ini holds no usable connection settings, before the login.
    std::function<void()> runConnectDialog;
    // Runs the login dialog (not in re-login mode); true when it ended with OK.
    std::function<bool()> runLogin;
    // Creates and shows the main frame; false when it could not be created.
    std::function<bool()> createMainFrame;

    // The whole sequence; false when the program is to end without a main frame.
    bool run();

    // The visual style read at start-up (ApplicationLook).
    int applicationLook() const { return m_look; }

    // Loads Qt's own Chinese translation (standard buttons and dialogs) into the running
    // application; false when it is not installed.
    static bool installTranslations();
    // The log retention stored in qp_SysOption (nType 2); 0 without a row or a number.
    static int readRecentDays(db::CADODatabase& database);

private:
    COrvaneApp& m_app;
    int m_look = 0;
};

} // namespace orvane::core
