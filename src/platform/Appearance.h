#pragma once

#include <QObject>
#include <QPointer>

class ColorSchemeSource;

// The application's light/dark state. "light" and "dark" force one; "system" follows the
// desktop's colour-scheme preference and, where the desktop states none, the lightness of the
// palette's window colour. It only decides: whoever owns the theme follows isDarkChanged() and
// repaints.
class Appearance : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        System,
        Light,
        Dark
    };

    explicit Appearance(QObject *parent = nullptr);
    ~Appearance() override;

    // "light" and "dark" name their mode exactly (case-sensitive); everything else is System.
    static Mode modeFromString(const QString &text);

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);

    bool isDark() const { return m_dark; }
    // The desktop's own scheme, whatever the app's mode: what the panel around the tray icon wears.
    bool isDesktopDark() const { return m_desktopDark; }

    // The desktop preference consulted in System mode; not owned. Null: palette only.
    void setSystemSource(ColorSchemeSource *source);
    // The application palette changed: without a desktop preference it decides the desktop's
    // scheme, and in System mode the application's.
    void paletteChanged();

Q_SIGNALS:
    void modeChanged();
    void isDarkChanged(bool dark);
    void isDesktopDarkChanged(bool dark);

private:
    void reevaluate();
    bool systemPrefersDark() const;

    Mode m_mode = Mode::System;
    bool m_dark = false;
    bool m_desktopDark = false;
    QPointer<ColorSchemeSource> m_source;
};
