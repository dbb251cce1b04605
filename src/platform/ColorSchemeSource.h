#pragma once

#include <QObject>

// Where the desktop's light/dark preference comes from. The real source is the settings portal;
// tests hand in a fake.
class ColorSchemeSource : public QObject
{
    Q_OBJECT
public:
    enum class Scheme
    {
        NoPreference,
        Dark,
        Light
    };

    using QObject::QObject;
    ~ColorSchemeSource() override = default;

    virtual Scheme scheme() const = 0;

Q_SIGNALS:
    void schemeChanged();
};
