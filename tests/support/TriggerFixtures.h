#pragma once

#include "models/Trigger.h"

#include <QList>

namespace Fixtures {

// The built-in triggers as a fresh store would hold them: catalogue order, all enabled.
inline QList<Trigger> builtInTriggers()
{
    QList<Trigger> list;
    int order = 0;
    for (const auto &b : Trigger::defaults())
        list << Trigger::make(QString::fromUtf8(b.key), QString::fromUtf8(b.name), QString::fromUtf8(b.emoji),
                              order++, true);
    return list;
}

} // namespace Fixtures
