#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One application's desktop entry (freedesktop Desktop Entry files).
struct DesktopEntry
{
    QString id;             // "org.gnome.Terminal" for .../applications/org.gnome.Terminal.desktop
    QString name;           // Name=, localised when the file has the user's language
    QString icon;           // Icon=, a theme name or an absolute path
    QString startupWMClass; // StartupWMClass=
    QString executable;     // base name of the program in Exec=
};

// An index of the installed desktop entries: by desktop-file id and by the WM_CLASS that the
// application's windows carry. The first folder of the search path wins for a given id, as the
// freedesktop rule for desktop-file ids says, so the user's own entries override system ones.
class DesktopEntries
{
public:
    // Indexes the `applications` folders of $XDG_DATA_HOME and $XDG_DATA_DIRS.
    DesktopEntries();
    // Indexes the given `applications` folders, first one winning (tests).
    explicit DesktopEntries(const QStringList &applicationFolders, const QString &locale = {});

    static QStringList defaultFolders();

    std::optional<DesktopEntry> byId(const QString &id) const;
    // The entry for a window: StartupWMClass, then the desktop id, then the id's last dotted part,
    // then the program name, each tried with the class and then the instance, case-insensitively.
    std::optional<DesktopEntry> forWindowClass(const QString &wmInstance, const QString &wmClass) const;

    qsizetype size() const { return m_entries.size(); }

    // Parses one desktop file; none when it is not a visible application entry.
    static std::optional<DesktopEntry> parse(const QString &filePath, const QString &id,
                                             const QString &locale);

private:
    void index(const QStringList &folders, const QString &locale);
    std::optional<DesktopEntry> lookup(const QHash<QString, qsizetype> &table, const QString &key) const;

    QList<DesktopEntry> m_entries;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byIdLower;
    QHash<QString, qsizetype> m_byWmClass;
    QHash<QString, qsizetype> m_byIdTail;
    QHash<QString, qsizetype> m_byExecutable;
};
