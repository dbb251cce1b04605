#include "platform/EmojiPickerProgram.h"

#include <QProcess>
#include <QStandardPaths>

namespace EmojiPickerProgram {

QString find()
{
    for (const char *name : {"gnome-characters", "emote", "smile", "kcharselect", "gucharmap"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

std::function<void()> launcher()
{
    const QString program = find();
    if (program.isEmpty())
        return {};
    return [program] { QProcess::startDetached(program, {}); };
}

} // namespace EmojiPickerProgram
