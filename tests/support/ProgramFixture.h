#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <csignal>
#include <memory>

// The real program in a private root of its own: runtime, config and data folders, a settings file
// past the first-run card, and the fixed program environment pointed at them. Build one per test.
class ProgramFixture
{
public:
    struct Launch
    {
        int exitCode = -1; // -1 when it did not end within the time-out or crashed
        QString errors;
    };

    ProgramFixture();
    ~ProgramFixture();
    ProgramFixture(const ProgramFixture &) = delete;
    ProgramFixture &operator=(const ProgramFixture &) = delete;

    static QString programPath();

    // False when the root or its settings file could not be made.
    bool isReady() const { return m_ready; }

    QString filePath(const QString &relative) const { return m_root.filePath(relative); }
    QString storePath() const;
    QString socketPath() const;
    // Changes take effect for the processes started after them.
    QProcessEnvironment &environment() { return m_env; }

    // Starts the instance, its output forwarded; a previous one is killed first.
    QProcess *start(const QStringList &arguments = {});
    QProcess *process() const { return m_process.get(); }
    // SIGTERM, then false when the instance has not ended within `timeoutMs`.
    bool terminate(int timeoutMs = 5000);
    void kill();

    // A second `grumblix` in the same environment, run to its end.
    Launch launch(const QStringList &arguments, int timeoutMs = 15000) const;
    // ... in `environment`.
    Launch launch(const QStringList &arguments, const QProcessEnvironment &environment,
                  int timeoutMs = 15000) const;

    // The environment of a launch from outside the desktop session, as cron, su - or ssh give it:
    // HOME (whose ~/.local/share is this root's data folder) and PATH, the desktop's DISPLAY when
    // `withDisplay`, and a TMPDIR of this root's, so that the runtime folder it falls back to is
    // not one the machine shares (outsideRuntimeFolder()).
    QProcessEnvironment outsideEnvironment(bool withDisplay) const;
    QString outsideRuntimeFolder() const;

    // The running instance however it was started (a first launch of URLs alone leaves it running
    // in the background): the pid its lock names, when that is this build's program; 0 otherwise.
    qint64 instancePid() const;
    static qint64 instancePidIn(const QString &runtimeFolder);
    // Sends `signal` to that instance and waits until it has ended; false when it has not.
    bool stopInstance(int signal = SIGTERM, int timeoutMs = 5000);
    static bool stopInstanceIn(const QString &runtimeFolder, int signal = SIGTERM, int timeoutMs = 5000);

private:
    QTemporaryDir m_root;
    QProcessEnvironment m_env;
    std::unique_ptr<QProcess> m_process;
    bool m_ready = false;
};

namespace StoreRows {

// The rows `sql` selects from the SQLite file at `path`, opened read-only: NULL as an invalid
// QVariant, integers as qint64, text as QString. Empty when the file or the query cannot be read.
QList<QVariantList> read(const QString &path, const char *sql);

} // namespace StoreRows
