#pragma once

#include "models/StoreLock.h"
#include "platform/HandOver.h"
#include "shell/Platform.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class ActiveAppService;
class AppModel;
class AppNotifications;
class AppSound;
class Appearance;
class Autostart;
class FrontmostAppAdapter;
class GlobalHotKeyAdapter;
class HotKeyService;
class HUDController;
class NotificationService;
class Prefs;
class QuitQuestion;
class SoundService;
class StatusItemController;
class UpdateService;
class WindowManager;

// The program's composition root. build() creates, in this order, the preferences, the store, the
// services over the platform adapters it is handed, the model, the model's adapters and the
// windows, and owns them all; they go in the reverse order. start() runs the start-up sequence;
// afterwards it takes the launches that later processes hand over.
class Shell : public QObject
{
    Q_OBJECT
public:
    // Where the program keeps its files.
    struct Locations
    {
        QString preferences;
        QString store;
        QString windowState;
    };
    // The user's own folders ($XDG_CONFIG_HOME, $XDG_DATA_HOME).
    static Locations standardLocations();

    explicit Shell(QObject *parent = nullptr);
    ~Shell() override;

    // False when the store cannot be opened: "Could not open the Grumblix store: …" then goes to
    // the fatal report, to stderr and, with a display, into a message box, the file is left as it
    // was, and nothing after the preferences is built. `storeLock`: the store's writer lock when
    // the caller took it already (see Store::open).
    bool build(const Locations &locations, Platform platform, StoreLock storeLock = {});
    // Told the fatal message before the message box waits for the user.
    void setFatalReport(std::function<void(const QString &message)> report);

    // The start-up sequence with this process's arguments (program path included), then the URLs
    // among them; `takingUrls` runs just before the first of them touches the store. The reply is
    // the one a later launch with these URLs gets.
    HandOver::Reply start(const QStringList &arguments, const std::function<void()> &takingUrls = {});
    // A later launch's arguments (program path left out), taken as start() takes its own: the
    // options, then the URLs in order. Without a URL or "--panel" the program re-opens: the
    // dashboard comes forward. The reply says kept when what it stored could not be saved yet.
    HandOver::Reply handOver(const QStringList &arguments);

    // The arguments that are URLs (anything that is not an option).
    static QStringList urlsIn(const QStringList &arguments);

    // Null before a successful build().
    Prefs *prefs() const { return m_prefs.get(); }
    AppModel *model() const { return m_model.get(); }
    StatusItemController *statusItem() const { return m_statusItem.get(); }
    WindowManager *windows() const { return m_windows.get(); }
    Appearance *appearance() const { return m_appearance.get(); }
    // What both Quit entries go through.
    QuitQuestion *quitQuestion() const { return m_quitQuestion.get(); }

private:
    void tellStoreUnwritable(const QString &path, const QString &error);
    // What a launch that stored something (the log tick moved past `tickBefore`) is told: done once
    // it is on disk, kept when the store does not take it yet.
    HandOver::Reply savedSince(int tickBefore);
    // The line stderr gets when changes could still not be saved at quit.
    QString lostAtQuit() const;
    void buildServices();
    void buildWindows(const Locations &locations);
    // Colours are looked up while painting: a new scheme is one repaint of every window.
    void applyScheme(bool dark);

    std::function<void(const QString &)> m_fatalReport;
    std::unique_ptr<Prefs> m_prefs;
    Platform m_platform;
    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<HotKeyService> m_hotKeys;
    std::unique_ptr<ActiveAppService> m_activeApp;
    std::unique_ptr<NotificationService> m_notifications;
    std::unique_ptr<SoundService> m_sounds;
    std::unique_ptr<UpdateService> m_updates;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<FrontmostAppAdapter> m_frontmost;
    std::unique_ptr<GlobalHotKeyAdapter> m_hotKey;
    std::unique_ptr<AppSound> m_pressSound;
    std::unique_ptr<AppNotifications> m_notices;
    std::unique_ptr<Autostart> m_autostart;
    std::unique_ptr<StatusItemController> m_statusItem;
    std::unique_ptr<HUDController> m_toast;
    std::unique_ptr<WindowManager> m_windows;
    // Last, so it goes before the model it reads.
    std::unique_ptr<QuitQuestion> m_quitQuestion;
};
