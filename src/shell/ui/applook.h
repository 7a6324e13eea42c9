#pragma once

#include <QIcon>
#include <QPalette>

namespace orvane::shell::ui {

// The visual styles 210..218 (palettes over the Fusion style) and the program's icon. Applied at
// start-up before the login, and again whenever the operator picks a style.
class AppLook
{
public:
    // Sets the style and palette of the whole application; an unknown id falls back to 213.
    // Returns the id applied.
    static int apply(int lookId);
    static QPalette palette(int lookId);
    static bool isDark(int lookId);
    // The window icon of every window of the client.
    static QIcon icon();
};

} // namespace orvane::shell::ui
