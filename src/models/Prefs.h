#pragma once

#include <QObject>
#include <QSettings>
#include <QVariant>
#include <memory>

// The user's preferences: an INI file at $XDG_CONFIG_HOME/Grumblix/Grumblix.conf under plain
// camel-case keys. Registered defaults are fallbacks in code and are never written to the file.
class Prefs : public QObject
{
    Q_OBJECT
public:
    explicit Prefs(const QString &filePath, QObject *parent = nullptr);
    ~Prefs() override;

    // The process-wide preferences at defaultFilePath(), created on first use.
    static Prefs &shared();
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

Q_SIGNALS:
    void changed(const QString &key);

private:
    std::unique_ptr<QSettings> m_settings;
};
