#include "shell/ui/desktopinput.h"

#include <QGuiApplication>
#include <QLibrary>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace orvane::shell::ui {

namespace {

// The few X11 entry points used, resolved once from libX11 and libXss.
struct X11Api
{
    using AllocInfo = XScreenSaverInfo* (*)();
    using QueryInfo = Status (*)(Display*, Drawable, XScreenSaverInfo*);
    using DefaultRoot = Window (*)(Display*);
    using Free = int (*)(void*);
    using InternAtom = Atom (*)(Display*, const char*, Bool);
    using GetNamedIndicator = Bool (*)(Display*, Atom, int*, Bool*, void*, Bool*);

    AllocInfo allocInfo = nullptr;
    QueryInfo queryInfo = nullptr;
    DefaultRoot defaultRoot = nullptr;
    Free free = nullptr;
    InternAtom internAtom = nullptr;
    GetNamedIndicator getNamedIndicator = nullptr;
    Atom indicators[3] = {0, 0, 0};
    XScreenSaverInfo* info = nullptr;

    static const X11Api& instance()
    {
        static const X11Api api;
        return api;
    }

    static Display* display()
    {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->display() : nullptr;
    }

private:
    X11Api()
    {
        Display* dpy = display();
        if (!dpy)
            return;
        QLibrary x11(QStringLiteral("X11"), 6);
        QLibrary xss(QStringLiteral("Xss"), 1);
        defaultRoot = reinterpret_cast<DefaultRoot>(x11.resolve("XDefaultRootWindow"));
        free = reinterpret_cast<Free>(x11.resolve("XFree"));
        internAtom = reinterpret_cast<InternAtom>(x11.resolve("XInternAtom"));
        getNamedIndicator =
            reinterpret_cast<GetNamedIndicator>(x11.resolve("XkbGetNamedIndicator"));
        allocInfo = reinterpret_cast<AllocInfo>(xss.resolve("XScreenSaverAllocInfo"));
        queryInfo = reinterpret_cast<QueryInfo>(xss.resolve("XScreenSaverQueryInfo"));
        if (allocInfo && queryInfo && defaultRoot)
            info = allocInfo(); // kept for the whole run
        if (internAtom && getNamedIndicator) {
            const char* names[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
            for (int i = 0; i < 3; ++i)
                indicators[i] = internAtom(dpy, names[i], True);
        }
    }
};

} // namespace

std::optional<qint64> DesktopInput::idleMs()
{
    const X11Api& api = X11Api::instance();
    Display* dpy = X11Api::display();
    if (!dpy || !api.info || !api.queryInfo(dpy, api.defaultRoot(dpy), api.info))
        return std::nullopt;
    return qint64(api.info->idle);
}

std::optional<DesktopInput::LockKeys> DesktopInput::lockKeys()
{
    const X11Api& api = X11Api::instance();
    Display* dpy = X11Api::display();
    if (!dpy || !api.getNamedIndicator)
        return std::nullopt;
    bool states[3] = {false, false, false};
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        Bool on = False;
        if (api.indicators[i] != 0 &&
            api.getNamedIndicator(dpy, api.indicators[i], nullptr, &on, nullptr, nullptr)) {
            states[i] = on;
            any = true;
        }
    }
    if (!any)
        return std::nullopt;
    return LockKeys{states[0], states[1], states[2]};
}

} // namespace orvane::shell::ui
