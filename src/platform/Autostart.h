#pragma once

#include <QString>

// Whether the program starts when the user logs in.
class Autostart
{
public:
    virtual ~Autostart() = default;

    // The state the desktop will act on at the next login.
    virtual bool isEnabled() const = 0;
    // False when the change could not be made; `error` then says why in a sentence for the user.
    virtual bool setEnabled(bool on, QString *error) = 0;
};
