#include "Launcher.h"

#include "platform/RuntimeFolder.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QStringList>
#include <cstdio>

std::optional<int> handOverOrClaim(const QStringList &arguments, std::unique_ptr<SingleInstance> &instance)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable()) {
        std::fprintf(stderr, "%s\n", folder.error.c_str());
        return 1;
    }
    auto claimed = std::make_unique<SingleInstance>(QFile::decodeName(folder.path.c_str()));
    switch (claimed->claim(arguments)) {
    case SingleInstance::Role::Primary:
        instance = std::move(claimed);
        return std::nullopt;
    case SingleInstance::Role::Forwarded:
        return 0;
    case SingleInstance::Role::Declined:
        std::fprintf(stderr, "%s\n", qPrintable(claimed->reply().message));
        return 1;
    case SingleInstance::Role::Failed:
        break;
    }
    std::fprintf(stderr, "Grumblix is already starting but does not answer; try again in a moment.\n");
    return 1;
}
