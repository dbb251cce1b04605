#pragma once

#include "platform/HandOver.h"

#include <QObject>
#include <QStringList>
#include <memory>

class AppModel;
class AppNotifications;
class AppSound;
class Autostart;
class FrontmostAppAdapter;
class GlobalHotKeyAdapter;

// Builds the real platform pieces, hands them to the model and starts it; afterwards it takes the
// launches that later processes hand over.
class Shell : public QObject
{
    Q_OBJECT
public:
    explicit Shell(AppModel &model, QObject *parent = nullptr);
    ~Shell() override;

    // The start-up sequence with this process's arguments (program path included), then the URLs
    // among them.
    void start(const QStringList &arguments);
    // A later launch's arguments (program path left out): its URLs are handled in order; without
    // URLs the program re-opens: the dashboard comes forward. The reply says failed when what it
    // logged could not be saved.
    HandOver::Reply handOver(const QStringList &arguments);

    // The arguments that are URLs (anything that is not an option).
    static QStringList urlsIn(const QStringList &arguments);

private:
    void tellStoreUnwritable(const QString &path, const QString &error);

    AppModel &m_model;
    std::unique_ptr<FrontmostAppAdapter> m_frontmost;
    std::unique_ptr<GlobalHotKeyAdapter> m_hotKey;
    std::unique_ptr<AppSound> m_sound;
    std::unique_ptr<AppNotifications> m_notices;
    std::unique_ptr<Autostart> m_autostart;
};
