#include "Prefs.h"

#include "PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

Prefs::Prefs(const QString &filePath, QObject *parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
    // Made private now, before any other file of ours (the window state) would make it readable
    // to all; an existing folder keeps its mode.
    PrivateFiles::makeFolder(QFileInfo(m_settings->fileName()).path());
}

Prefs::~Prefs()
{
    writeOut();
}

void Prefs::writeOut()
{
    // QSettings writes a new file with the umask's mode; one made empty and private first keeps
    // its mode through every rewrite.
    const QString file = m_settings->fileName();
    if (!QFileInfo::exists(file) && !m_settings->allKeys().isEmpty()) {
        PrivateFiles::makeFolder(QFileInfo(file).path());
        PrivateFiles::createFile(file);
    }
    m_settings->sync();
}

QString Prefs::defaultFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/Grumblix/Grumblix.conf");
}

const QList<std::pair<QString, QVariant>> &Prefs::registeredDefaults()
{
    static const QList<std::pair<QString, QVariant>> defaults{
        {PrefKey::sound, QStringLiteral("thunk")},
        {PrefKey::showHUD, true},
        {PrefKey::autoClosePanel, true},
        {PrefKey::showCountInMenuBar, false},
        {PrefKey::notifyFriday, true},
        {PrefKey::notifyRecord, true},
        {PrefKey::notifyCalm, true},
        {PrefKey::appearance, QStringLiteral("system")},
    };
    return defaults;
}

QVariant Prefs::value(const QString &key) const
{
    if (m_settings->contains(key))
        return m_settings->value(key);
    return registeredDefault(key);
}

namespace {

std::optional<bool> readBool(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    // INI files keep booleans as text.
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<QString> readString(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray)
        return v.toString();
    return std::nullopt;
}

} // namespace

QVariant Prefs::registeredDefault(const QString &key)
{
    for (const auto &[name, fallback] : registeredDefaults()) {
        if (name == key)
            return fallback;
    }
    return {};
}

bool Prefs::boolValue(const QString &key, bool fallback) const
{
    // A stored value that is no clear boolean counts as not stored.
    if (m_settings->contains(key)) {
        if (const auto stored = readBool(m_settings->value(key)))
            return *stored;
    }
    return readBool(registeredDefault(key)).value_or(fallback);
}

QString Prefs::stringValue(const QString &key, const QString &fallback) const
{
    if (m_settings->contains(key)) {
        if (const auto stored = readString(m_settings->value(key)))
            return *stored;
    }
    return readString(registeredDefault(key)).value_or(fallback);
}

QStringList Prefs::stringListValue(const QString &key) const
{
    // INI keeps a one-element list as plain text and an empty list as an invalid value.
    const QVariant v = m_settings->value(key);
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList();
    if (v.typeId() == QMetaType::QVariantList) {
        QStringList list;
        for (const QVariant &item : v.toList()) {
            if (const auto text = readString(item))
                list << *text;
        }
        return list;
    }
    if (const auto text = readString(v))
        return {*text};
    return {};
}

bool Prefs::contains(const QString &key) const
{
    return m_settings->contains(key);
}

void Prefs::setValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
    writeOut();
    Q_EMIT changed(key);
}

void Prefs::remove(const QString &key)
{
    m_settings->remove(key);
    writeOut();
    Q_EMIT changed(key);
}

void Prefs::sync()
{
    writeOut();
}

QString Prefs::filePath() const
{
    return m_settings->fileName();
}

std::optional<QString> Prefs::optionalString(const QString &key) const
{
    if (!m_settings->contains(key))
        return std::nullopt;
    return readString(m_settings->value(key));
}

int Prefs::reportWeeksBack() const
{
    bool ok = false;
    const int weeks = m_settings->value(PrefKey::reportWeeksBack).toInt(&ok);
    return ok ? weeks : 0;
}
