#pragma once

#include <QString>
#include <functional>

class Autostart;
class HotKeyService;
class NotificationService;
class QWidget;
class SoundService;
class UpdateService;

// What the settings page works through besides the model; the composition root fills it in. Any
// member may be left empty: the controls that need it then do nothing or stay disabled.
struct SettingsServices
{
    HotKeyService *hotKeys = nullptr;
    SoundService *sound = nullptr;
    UpdateService *updates = nullptr;
    NotificationService *notifications = nullptr;
    Autostart *autostart = nullptr;
    // Applies the "appearance" preference to the whole application.
    std::function<void()> applyAppearance;
    // Asks where to save the export; an empty answer means cancelled. Empty: the file dialog.
    std::function<QString(QWidget *parent, const QString &suggestedPath)> chooseExportFile;
};
