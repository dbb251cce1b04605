#pragma once

#include <QSystemTrayIcon>
#include <Qt>

// What a click on the tray icon asks for.
enum class TrayAction
{
    None,
    TogglePanel,
    QuickLog,
    ShowMenu,
};

// Right click (and Ctrl+click) shows the menu; middle click (and Alt+click, where the tray reports
// modifiers) logs at once; a plain click toggles the panel. Ctrl wins over Alt. The second half of
// a double click does nothing more: its first click already toggled.
TrayAction trayActionFor(QSystemTrayIcon::ActivationReason reason, Qt::KeyboardModifiers modifiers);
