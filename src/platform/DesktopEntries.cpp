#include "DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace {

QString unescape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += next;
            break;
        }
    }
    return out;
}

// The program's base name from an Exec= line: the first word, without quotes, folders or an `env`.
QString executableOf(const QString &exec)
{
    QStringList words = exec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (!words.isEmpty()) {
        QString word = words.takeFirst();
        word.remove(QLatin1Char('"'));
        if (word == QLatin1String("env") || word.contains(QLatin1Char('=')))
            continue;
        return QFileInfo(word).fileName();
    }
    return {};
}

} // namespace

DesktopEntries::DesktopEntries()
{
    index(defaultFolders(), QLocale().name());
}

DesktopEntries::DesktopEntries(const QStringList &applicationFolders, const QString &locale)
{
    index(applicationFolders, locale);
}

QStringList DesktopEntries::defaultFolders()
{
    QStringList folders;
    for (const QString &base : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << base + QStringLiteral("/applications");
    folders.removeDuplicates();
    return folders;
}

std::optional<DesktopEntry> DesktopEntries::parse(const QString &filePath, const QString &id,
                                                  const QString &locale)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;

    // Localised keys in the order the desktop-entry standard prefers: lang_COUNTRY, then lang.
    const QString country = locale.section(QLatin1Char('.'), 0, 0);
    const QString language = country.section(QLatin1Char('_'), 0, 0);
    DesktopEntry entry;
    entry.id = id;
    QString type;
    QString exec;
    int nameRank = 0; // 0 none, 1 plain, 2 language, 3 language and country
    bool inMain = false;
    bool hidden = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMain)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = unescape(line.mid(eq + 1).trimmed());
        if (key == QLatin1String("Name") && nameRank < 1) {
            entry.name = value;
            nameRank = 1;
        } else if (!language.isEmpty() && key == QStringLiteral("Name[%1]").arg(language) && nameRank < 2) {
            entry.name = value;
            nameRank = 2;
        } else if (!country.isEmpty() && country != language &&
                   key == QStringLiteral("Name[%1]").arg(country)) {
            entry.name = value;
            nameRank = 3;
        } else if (key == QLatin1String("Icon")) {
            entry.icon = value;
        } else if (key == QLatin1String("StartupWMClass")) {
            entry.startupWMClass = value;
        } else if (key == QLatin1String("Exec")) {
            exec = value;
        } else if (key == QLatin1String("Type")) {
            type = value;
        } else if (key == QLatin1String("Hidden")) {
            hidden = value == QLatin1String("true");
        }
    }
    if (hidden || type != QLatin1String("Application") || entry.name.isEmpty())
        return std::nullopt;
    entry.executable = executableOf(exec);
    return entry;
}

void DesktopEntries::index(const QStringList &folders, const QString &locale)
{
    for (const QString &folder : folders) {
        const QDir root(folder);
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The id is the path below the applications folder with '/' turned into '-'.
            QString id = root.relativeFilePath(path);
            id.chop(int(qstrlen(".desktop")));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (m_byId.contains(id))
                continue;
            const std::optional<DesktopEntry> entry = parse(path, id, locale);
            if (!entry) {
                // A hidden entry in an earlier folder still masks the same id further down.
                m_byId.insert(id, -1);
                continue;
            }
            const qsizetype at = m_entries.size();
            m_entries.append(*entry);
            m_byId.insert(id, at);
            m_byIdLower.insert(id.toLower(), at);
            if (!entry->startupWMClass.isEmpty())
                m_byWmClass.insert(entry->startupWMClass.toLower(), at);
            m_byIdTail.insert(id.section(QLatin1Char('.'), -1).toLower(), at);
            if (!entry->executable.isEmpty())
                m_byExecutable.insert(entry->executable.toLower(), at);
        }
    }
}

std::optional<DesktopEntry> DesktopEntries::lookup(const QHash<QString, qsizetype> &table,
                                                   const QString &key) const
{
    if (key.isEmpty())
        return std::nullopt;
    const qsizetype at = table.value(key.toLower(), -1);
    if (at < 0)
        return std::nullopt;
    return m_entries.at(at);
}

std::optional<DesktopEntry> DesktopEntries::byId(const QString &id) const
{
    const qsizetype at = m_byId.value(id, -1);
    if (at < 0)
        return std::nullopt;
    return m_entries.at(at);
}

std::optional<DesktopEntry> DesktopEntries::forWindowClass(const QString &wmInstance,
                                                           const QString &wmClass) const
{
    for (const QHash<QString, qsizetype> *table :
         {&m_byWmClass, &m_byIdLower, &m_byIdTail, &m_byExecutable}) {
        for (const QString &key : {wmClass, wmInstance}) {
            if (auto entry = lookup(*table, key))
                return entry;
        }
    }
    return std::nullopt;
}
