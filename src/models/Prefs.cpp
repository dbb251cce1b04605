#include "Prefs.h"

#include <QDir>
#include <QStandardPaths>

Prefs::Prefs(const QString &filePath, QObject *parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

Prefs::~Prefs()
{
    m_settings->sync();
}

Prefs &Prefs::shared()
{
    static Prefs *instance = new Prefs(defaultFilePath());
    return *instance;
}

QString Prefs::defaultFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/Grumblix/Grumblix.conf");
}

const QList<std::pair<QString, QVariant>> &Prefs::registeredDefaults()
{
    static const QList<std::pair<QString, QVariant>> defaults{
        {QStringLiteral("sound"), QStringLiteral("thunk")},
        {QStringLiteral("showHUD"), true},
        {QStringLiteral("autoClosePanel"), true},
        {QStringLiteral("showCountInMenuBar"), false},
        {QStringLiteral("notifyFriday"), true},
        {QStringLiteral("notifyRecord"), true},
        {QStringLiteral("notifyCalm"), true},
        {QStringLiteral("appearance"), QStringLiteral("system")},
    };
    return defaults;
}

QVariant Prefs::value(const QString &key) const
{
    if (m_settings->contains(key))
        return m_settings->value(key);
    for (const auto &[name, fallback] : registeredDefaults()) {
        if (name == key)
            return fallback;
    }
    return {};
}

bool Prefs::boolValue(const QString &key, bool fallback) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return fallback;
    // INI files keep booleans as text; anything that is not a clear boolean takes the fallback.
    const QString text = v.toString().trimmed().toLower();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

QString Prefs::stringValue(const QString &key, const QString &fallback) const
{
    const QVariant v = value(key);
    return v.isValid() ? v.toString() : fallback;
}

bool Prefs::contains(const QString &key) const
{
    return m_settings->contains(key);
}

void Prefs::setValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
    m_settings->sync();
    Q_EMIT changed(key);
}

void Prefs::remove(const QString &key)
{
    m_settings->remove(key);
    m_settings->sync();
    Q_EMIT changed(key);
}

void Prefs::sync()
{
    m_settings->sync();
}

QString Prefs::filePath() const
{
    return m_settings->fileName();
}
