#pragma once

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

// Every preference key the program stores, spelled once. Listeners of Prefs::changed compare
// against these.
namespace PrefKey {
inline const QString sound = QStringLiteral("sound");
inline const QString showHUD = QStringLiteral("showHUD");
inline const QString autoClosePanel = QStringLiteral("autoClosePanel");
inline const QString showCountInMenuBar = QStringLiteral("showCountInMenuBar");
inline const QString notifyFriday = QStringLiteral("notifyFriday");
inline const QString notifyRecord = QStringLiteral("notifyRecord");
inline const QString notifyCalm = QStringLiteral("notifyCalm");
inline const QString appearance = QStringLiteral("appearance");
inline const QString buttonSkin = QStringLiteral("buttonSkin");
inline const QString reportTheme = QStringLiteral("reportTheme");
inline const QString reportWeeksBack = QStringLiteral("reportWeeksBack");
inline const QString shortcut = QStringLiteral("shortcut");
inline const QString seenAchievements = QStringLiteral("seenAchievements");
inline const QString hasOnboarded = QStringLiteral("hasOnboarded");
inline const QString lastRecordDay = QStringLiteral("lastRecordDay");
inline const QString lastFridayReport = QStringLiteral("lastFridayReport");
inline const QString lastCalmDay = QStringLiteral("lastCalmDay");
inline const QString automaticallyChecksForUpdates = QStringLiteral("automaticallyChecksForUpdates");
inline const QString lastUpdateCheck = QStringLiteral("lastUpdateCheck");
inline const QString lastUpdateReminder = QStringLiteral("lastUpdateReminder");
} // namespace PrefKey

// The user's preferences: an INI file at $XDG_CONFIG_HOME/Grumblix/Grumblix.conf under plain
// camel-case keys. Registered defaults are fallbacks in code and are never written to the file.
class Prefs : public QObject
{
    Q_OBJECT
public:
    explicit Prefs(const QString &filePath, QObject *parent = nullptr);
    ~Prefs() override;

    // $XDG_CONFIG_HOME/Grumblix/Grumblix.conf
    static QString defaultFilePath();

    // The eight registered defaults, in registration order.
    static const QList<std::pair<QString, QVariant>> &registeredDefaults();
    static QVariant registeredDefault(const QString &key);

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant value(const QString &key) const;
    bool boolValue(const QString &key, bool fallback = false) const;
    // A stored value of the wrong kind reads as the registered default, else the fallback.
    QString stringValue(const QString &key, const QString &fallback = {}) const;
    // The stored list; absent or unreadable gives an empty list (tell absent apart with contains()).
    QStringList stringListValue(const QString &key) const;
    bool contains(const QString &key) const;

    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);
    void sync();

    QString filePath() const;

    // Typed accessors, one per key. Texts that name a case (sound, skin, theme, look) come back as
    // stored: the caller resolves them and falls back, without rewriting what is stored.
    QString sound() const { return stringValue(PrefKey::sound); }
    void setSound(const QString &raw) { setValue(PrefKey::sound, raw); }
    bool showHUD() const { return boolValue(PrefKey::showHUD); }
    void setShowHUD(bool on) { setValue(PrefKey::showHUD, on); }
    bool autoClosePanel() const { return boolValue(PrefKey::autoClosePanel); }
    void setAutoClosePanel(bool on) { setValue(PrefKey::autoClosePanel, on); }
    bool showCountInMenuBar() const { return boolValue(PrefKey::showCountInMenuBar); }
    void setShowCountInMenuBar(bool on) { setValue(PrefKey::showCountInMenuBar, on); }
    bool notifyFriday() const { return boolValue(PrefKey::notifyFriday); }
    void setNotifyFriday(bool on) { setValue(PrefKey::notifyFriday, on); }
    bool notifyRecord() const { return boolValue(PrefKey::notifyRecord); }
    void setNotifyRecord(bool on) { setValue(PrefKey::notifyRecord, on); }
    bool notifyCalm() const { return boolValue(PrefKey::notifyCalm); }
    void setNotifyCalm(bool on) { setValue(PrefKey::notifyCalm, on); }
    QString appearance() const { return stringValue(PrefKey::appearance); }
    void setAppearance(const QString &raw) { setValue(PrefKey::appearance, raw); }
    // Absent when never stored; the views default it ("classic", "midnight").
    std::optional<QString> buttonSkin() const { return optionalString(PrefKey::buttonSkin); }
    void setButtonSkin(const QString &raw) { setValue(PrefKey::buttonSkin, raw); }
    std::optional<QString> reportTheme() const { return optionalString(PrefKey::reportTheme); }
    void setReportTheme(const QString &raw) { setValue(PrefKey::reportTheme, raw); }
    // Absent or unreadable reads as 0; nothing in the program writes it.
    int reportWeeksBack() const;
    // The shortcut as its stored JSON text; absent when never stored.
    std::optional<QString> shortcutJson() const { return optionalString(PrefKey::shortcut); }
    void setShortcutJson(const QString &json) { setValue(PrefKey::shortcut, json); }
    QStringList seenAchievements() const { return stringListValue(PrefKey::seenAchievements); }
    bool hasSeenAchievements() const { return contains(PrefKey::seenAchievements); }
    void setSeenAchievements(const QStringList &ids) { setValue(PrefKey::seenAchievements, ids); }
    bool hasOnboarded() const { return boolValue(PrefKey::hasOnboarded); }
    void setHasOnboarded(bool on) { setValue(PrefKey::hasOnboarded, on); }
    std::optional<QString> lastRecordDay() const { return optionalString(PrefKey::lastRecordDay); }
    void setLastRecordDay(const QString &dayKey) { setValue(PrefKey::lastRecordDay, dayKey); }
    std::optional<QString> lastFridayReport() const { return optionalString(PrefKey::lastFridayReport); }
    void setLastFridayReport(const QString &weekKey) { setValue(PrefKey::lastFridayReport, weekKey); }
    std::optional<QString> lastCalmDay() const { return optionalString(PrefKey::lastCalmDay); }
    void setLastCalmDay(const QString &dayKey) { setValue(PrefKey::lastCalmDay, dayKey); }
    bool automaticallyChecksForUpdates() const
    {
        return boolValue(PrefKey::automaticallyChecksForUpdates, true);
    }
    void setAutomaticallyChecksForUpdates(bool on) { setValue(PrefKey::automaticallyChecksForUpdates, on); }
    std::optional<QString> lastUpdateCheck() const { return optionalString(PrefKey::lastUpdateCheck); }
    void setLastUpdateCheck(const QString &isoTime) { setValue(PrefKey::lastUpdateCheck, isoTime); }
    std::optional<QString> lastUpdateReminder() const { return optionalString(PrefKey::lastUpdateReminder); }
    void setLastUpdateReminder(const QString &tag) { setValue(PrefKey::lastUpdateReminder, tag); }

Q_SIGNALS:
    void changed(const QString &key);

private:
    // Syncs, making the file private when this is its first write.
    void writeOut();
    // The stored text; absent when not stored or not a text.
    std::optional<QString> optionalString(const QString &key) const;

    std::unique_ptr<QSettings> m_settings;
};
