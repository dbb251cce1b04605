#include "DisplayCheck.h"

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace DisplayCheck {

namespace {

enum class Kind
{
    x11,
    wayland,
    none, // needs no display
};

Kind kindOf(const QByteArray &platform)
{
    // "xcb", "wayland", "wayland-egl"; anything after a colon is the plugin's options.
    const qsizetype colon = platform.indexOf(':');
    const QByteArray name = (colon < 0 ? platform : platform.left(colon)).trimmed();
    if (name == "xcb")
        return Kind::x11;
    if (name.startsWith("wayland"))
        return Kind::wayland;
    return Kind::none;
}

QString text(const QByteArray &value)
{
    return QString::fromLocal8Bit(value);
}

} // namespace

Environment Environment::current(const QStringList &arguments)
{
    Environment environment;
    environment.platform = qgetenv("QT_QPA_PLATFORM");
    environment.platformSource = "QT_QPA_PLATFORM";
    environment.display = qgetenv("DISPLAY");
    environment.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    environment.waylandSocket = qgetenv("WAYLAND_SOCKET");
    environment.runtimeFolder = qgetenv("XDG_RUNTIME_DIR");
    // Qt reads these two from the command line before the environment, with one dash or two.
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform")) {
            environment.platform = arguments.at(i + 1).toLocal8Bit();
            environment.platformSource = "-platform";
        } else if (argument == QLatin1String("-display") || argument == QLatin1String("--display")) {
            environment.display = arguments.at(i + 1).toLocal8Bit();
        }
    }
    return environment;
}

Probes Probes::real()
{
    Probes probes;
    probes.x = [](const QByteArray &display) {
        xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
        const bool open = connection && xcb_connection_has_error(connection) == 0;
        if (connection)
            xcb_disconnect(connection);
        return open;
    };
    probes.wayland = [](const QByteArray &path) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (size_t(path.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const bool open = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return open;
    };
    return probes;
}

std::optional<QString> problem(const Environment &environment, const Probes &probes)
{
    // Qt tries the platforms of a list in order; without one it takes X11 or Wayland by the session.
    QList<Kind> kinds;
    for (const QByteArray &platform : environment.platform.split(';')) {
        if (!platform.trimmed().isEmpty())
            kinds << kindOf(platform);
    }
    const bool named = !kinds.isEmpty();
    if (!named)
        kinds = {Kind::x11, Kind::wayland};

    QStringList reasons;
    bool unset = true;
    if (kinds.contains(Kind::none))
        return std::nullopt;
    if (kinds.contains(Kind::x11)) {
        if (!environment.display.isEmpty() && probes.x(environment.display))
            return std::nullopt;
        unset = unset && environment.display.isEmpty();
        reasons << (environment.display.isEmpty()
                        ? QStringLiteral("DISPLAY is unset")
                        : QStringLiteral("the X display %1 cannot be opened").arg(text(environment.display)));
    }
    if (kinds.contains(Kind::wayland)) {
        if (!environment.waylandSocket.isEmpty())
            return std::nullopt;
        const QByteArray &name = environment.waylandDisplay;
        const QByteArray path = name.startsWith('/') || name.isEmpty() ? name
                                : environment.runtimeFolder.isEmpty()
                                    ? QByteArray()
                                    : environment.runtimeFolder + '/' + name;
        if (!path.isEmpty() && probes.wayland(path))
            return std::nullopt;
        unset = unset && name.isEmpty();
        reasons << (name.isEmpty()
                        ? QStringLiteral("WAYLAND_DISPLAY is unset")
                        : QStringLiteral("the Wayland display %1 cannot be reached").arg(text(name)));
    }

    QString where = QStringLiteral("no display here");
    if (named)
        where +=
            QStringLiteral(" for %1%2%3")
                .arg(text(environment.platformSource),
                     environment.platformSource.startsWith('-') ? QStringLiteral(" ") : QStringLiteral("="),
                     text(environment.platform));
    const QString why = unset && !named ? QStringLiteral("DISPLAY and WAYLAND_DISPLAY are unset")
                                        : reasons.join(QStringLiteral("; "));
    // Asked only once no Grumblix runs on this store: a running one would have taken the launch.
    return QStringLiteral("Grumblix is not running and cannot start without a desktop session: %1 (%2); "
                          "nothing was logged.")
        .arg(where, why);
}

} // namespace DisplayCheck
