#pragma once

struct VorpEvent;

// The toast that follows a log from the shortcut, the tray menu or a URL (the shell's HUDController).
class Toast
{
public:
    virtual ~Toast() = default;

    // Shows a fresh toast for the incident just logged and schedules its hide.
    virtual void show(const VorpEvent &event) = 0;
};
