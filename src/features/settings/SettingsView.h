#pragma once

#include "features/settings/SettingsServices.h"
#include "services/SoundChoice.h"
#include "ui/ButtonSkin.h"

#include <QList>
#include <QWidget>

class AppModel;
class ChunkyButton;
class ChunkySegmented;
class GXSwitch;
class SettingsDataCard;
class SettingsPanel;
class ShortcutRecorder;
class SkinTile;
class SoundRow;
class ThemedLabel;

// The settings page: every preference in two columns of cards. Each control writes straight
// through to the preferences (or its service) and follows changes made anywhere else.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    SettingsView(AppModel &model, SettingsServices services, QWidget *parent = nullptr);

    // Picking a skin stores it, then plays the current sound.
    void pickSkin(ButtonSkin skin);
    // Picking a sound plays it, then stores it.
    void pickSound(SoundChoice choice);

    ShortcutRecorder *recorder() const { return m_recorder; }
    ThemedLabel *shortcutNote() const { return m_shortcutNote; }
    const QList<SkinTile *> &skinTiles() const { return m_skinTiles; }
    const QList<SoundRow *> &soundRows() const { return m_soundRows; }
    const QList<ThemedLabel *> &soundHeaders() const { return m_soundHeaders; }
    ChunkySegmented *look() const { return m_look; }
    GXSwitch *showHUD() const { return m_showHUD; }
    GXSwitch *autoClose() const { return m_autoClose; }
    GXSwitch *showCount() const { return m_showCount; }
    GXSwitch *launchAtLogin() const { return m_launchAtLogin; }
    ThemedLabel *launchProblem() const { return m_launchProblem; }
    GXSwitch *automaticUpdates() const { return m_automaticUpdates; }
    ChunkyButton *checkNow() const { return m_checkNow; }
    ThemedLabel *versionLabel() const { return m_version; }
    ThemedLabel *updateNote() const { return m_updateNote; }
    GXSwitch *notifyFriday() const { return m_notifyFriday; }
    GXSwitch *notifyRecord() const { return m_notifyRecord; }
    GXSwitch *notifyCalm() const { return m_notifyCalm; }
    ChunkyButton *allowNotifications() const { return m_allowNotifications; }
    SettingsDataCard *dataCard() const { return m_data; }

private:
    QString shortcutHint() const;
    SettingsPanel *shortcutPanel();
    SettingsPanel *skinPanel();
    SettingsPanel *soundPanel();
    SettingsPanel *behaviorPanel();
    SettingsPanel *updatesPanel();
    SettingsPanel *notificationsPanel();
    SettingsPanel *privacyPanel();
    void setLaunchAtLogin(bool on);
    // Shows what the preferences hold now (all of them, or the one that changed).
    void syncPreference(const QString &key);
    void syncUpdates();

    AppModel &m_model;
    SettingsServices m_services;
    ShortcutRecorder *m_recorder = nullptr;
    ThemedLabel *m_shortcutNote = nullptr;
    QList<SkinTile *> m_skinTiles;
    QList<SoundRow *> m_soundRows;
    QList<ThemedLabel *> m_soundHeaders;
    ChunkySegmented *m_look = nullptr;
    GXSwitch *m_showHUD = nullptr;
    GXSwitch *m_autoClose = nullptr;
    GXSwitch *m_showCount = nullptr;
    GXSwitch *m_launchAtLogin = nullptr;
    ThemedLabel *m_launchProblem = nullptr;
    GXSwitch *m_automaticUpdates = nullptr;
    ChunkyButton *m_checkNow = nullptr;
    ThemedLabel *m_version = nullptr;
    ThemedLabel *m_updateNote = nullptr;
    GXSwitch *m_notifyFriday = nullptr;
    GXSwitch *m_notifyRecord = nullptr;
    GXSwitch *m_notifyCalm = nullptr;
    ChunkyButton *m_allowNotifications = nullptr;
    SettingsDataCard *m_data = nullptr;
};
