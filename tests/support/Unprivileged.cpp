#include "Unprivileged.h"

#include "TestRerun.h"

#include <unistd.h>

namespace Unprivileged {

std::optional<bool> runTestFunction(const QString &function)
{
    if (geteuid() != 0)
        return std::nullopt;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Folders of root's that nobody may not write.
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    for (const char *name :
         {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(name));
    return TestRerun::run(function, QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral("--")},
                          env, QStringLiteral("unprivileged"));
}

} // namespace Unprivileged
