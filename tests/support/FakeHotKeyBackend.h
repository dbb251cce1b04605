#pragma once

#include "platform/HotKeyBackend.h"

#include <QList>
#include <optional>
#include <utility>

// A hot-key backend that grants or refuses what a test says and records every grab and release.
class FakeHotKeyBackend : public HotKeyBackend
{
    Q_OBJECT
public:
    using HotKeyBackend::HotKeyBackend;

    bool grab(quint32 keyCode, quint32 modifiers) override
    {
        grabs << std::pair{keyCode, modifiers};
        held = accept ? std::optional(std::pair{keyCode, modifiers}) : std::nullopt;
        return accept;
    }
    void ungrab() override
    {
        ++ungrabs;
        held.reset();
    }
    // The desktop delivers one press of the held combination.
    void press() { Q_EMIT activated(); }

    bool accept = true;
    QList<std::pair<quint32, quint32>> grabs;
    int ungrabs = 0;
    std::optional<std::pair<quint32, quint32>> held;
};
