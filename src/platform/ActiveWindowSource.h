#pragma once

#include <QObject>
#include <QString>
#include <optional>

// What the window system says about the window in front.
struct ActiveWindowInfo
{
    std::optional<qint64> pid;
    QString wmInstance; // first string of WM_CLASS
    QString wmClass;    // second string of WM_CLASS
    bool operator==(const ActiveWindowInfo &) const = default;
};

// The desktop's notion of the active window and a signal when it changes.
class ActiveWindowSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Begins watching; false when the desktop offers no way to know the active window.
    virtual bool start() = 0;
    // The active window now, or none (no window, or nothing known).
    virtual std::optional<ActiveWindowInfo> activeWindow() = 0;

Q_SIGNALS:
    // The active window changed; may be emitted inside a native event filter.
    void activeWindowChanged();
};

// A desktop without any such service (Wayland, offscreen).
class NoActiveWindowSource : public ActiveWindowSource
{
    Q_OBJECT
public:
    using ActiveWindowSource::ActiveWindowSource;
    bool start() override { return false; }
    std::optional<ActiveWindowInfo> activeWindow() override { return std::nullopt; }
};
