#include "TrayClick.h"

TrayAction trayActionFor(QSystemTrayIcon::ActivationReason reason, Qt::KeyboardModifiers modifiers)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        return TrayAction::ShowMenu;
    case QSystemTrayIcon::MiddleClick:
        return TrayAction::QuickLog;
    case QSystemTrayIcon::Trigger:
        if (modifiers & Qt::ControlModifier)
            return TrayAction::ShowMenu;
        if (modifiers & Qt::AltModifier)
            return TrayAction::QuickLog;
        return TrayAction::TogglePanel;
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayAction::None;
}
