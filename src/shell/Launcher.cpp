#include "Launcher.h"

#include "platform/RuntimeFolder.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QStringList>

std::optional<HandOver::Reply> handOverOrClaim(const QStringList &arguments,
                                               std::unique_ptr<SingleInstance> &instance)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable())
        return HandOver::Reply{HandOver::Reply::Status::refused, QString::fromStdString(folder.error)};
    auto claimed = std::make_unique<SingleInstance>(QFile::decodeName(folder.path.c_str()));
    if (claimed->claim(arguments) == SingleInstance::Role::Primary) {
        instance = std::move(claimed);
        return std::nullopt;
    }
    return claimed->reply();
}
