#include "ProgramFixture.h"

#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <csignal>
#include <sqlite3.h>
#include <unistd.h>

ProgramFixture::ProgramFixture()
{
    const QString root = m_root.path();
    const QString runtime = root + QStringLiteral("/runtime");
    m_ready = m_root.isValid() && QDir().mkpath(runtime) &&
              QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
              QDir().mkpath(root + QStringLiteral("/config/Grumblix")) &&
              QDir().mkpath(root + QStringLiteral("/data/Grumblix"));
    // A home whose ~/.local/share is the data folder, for launches that know no XDG_DATA_HOME.
    m_ready = m_ready && QDir().mkpath(root + QStringLiteral("/home/.local")) &&
              QFile::link(root + QStringLiteral("/data"), root + QStringLiteral("/home/.local/share")) &&
              QDir().mkpath(root + QStringLiteral("/tmp"));
    QFile conf(root + QStringLiteral("/config/Grumblix/Grumblix.conf"));
    m_ready = m_ready && conf.open(QIODevice::WriteOnly) &&
              conf.write("[General]\nhasOnboarded=true\nshowHUD=false\n") > 0;
    conf.close();
    // The X11 platform whatever the caller exported: the store's message box needs a display.
    m_env = TestSupport::programEnvironment();
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    m_env.insert(QStringLiteral("XDG_STATE_HOME"), root + QStringLiteral("/state"));
}

ProgramFixture::~ProgramFixture()
{
    kill();
    // One left running in the background by a test that stopped early.
    stopInstance(SIGKILL);
}

QString ProgramFixture::programPath()
{
    return QStringLiteral(GRUMBLIX_BINARY_DIR "/src/shell/grumblix");
}

QString ProgramFixture::storePath() const
{
    return m_root.filePath(QStringLiteral("data/Grumblix/Grumblix.store"));
}

QString ProgramFixture::socketPath() const
{
    return m_root.filePath(QStringLiteral("runtime/grumblix.socket"));
}

QProcess *ProgramFixture::start(const QStringList &arguments)
{
    kill();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(m_env);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->start(programPath(), arguments);
    return m_process.get();
}

bool ProgramFixture::terminate(int timeoutMs)
{
    if (!m_process)
        return false;
    m_process->terminate();
    return m_process->waitForFinished(timeoutMs);
}

void ProgramFixture::kill()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
}

ProgramFixture::Launch ProgramFixture::launch(const QStringList &arguments, int timeoutMs) const
{
    return launch(arguments, m_env, timeoutMs);
}

ProgramFixture::Launch ProgramFixture::launch(const QStringList &arguments,
                                              const QProcessEnvironment &environment, int timeoutMs) const
{
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(programPath(), arguments);
    Launch result;
    if (second.waitForFinished(timeoutMs) && second.exitStatus() == QProcess::NormalExit)
        result.exitCode = second.exitCode();
    result.errors = QString::fromLocal8Bit(second.readAllStandardError());
    return result;
}

QProcessEnvironment ProgramFixture::outsideEnvironment(bool withDisplay) const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("PATH"), m_env.value(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
    if (withDisplay)
        env.insert(QStringLiteral("DISPLAY"), m_env.value(QStringLiteral("DISPLAY")));
    return env;
}

QString ProgramFixture::outsideRuntimeFolder() const
{
    return m_root.filePath(QStringLiteral("tmp/grumblix-%1").arg(::geteuid()));
}

namespace {

// Still running: a zombie waiting for whoever adopted it counts as ended.
bool isAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state < line.size() && line.at(state) != 'Z';
}

} // namespace

qint64 ProgramFixture::instancePid() const
{
    return instancePidIn(m_root.filePath(QStringLiteral("runtime")));
}

qint64 ProgramFixture::instancePidIn(const QString &runtimeFolder)
{
    qint64 pid = 0;
    QString host, application;
    if (!QLockFile(runtimeFolder + QStringLiteral("/grumblix.lock")).getLockInfo(&pid, &host, &application))
        return 0;
    const QString program =
        QFileInfo(QStringLiteral(GRUMBLIX_BINARY_DIR "/src/shell/grumblix-app")).canonicalFilePath();
    if (pid <= 0 || !isAlive(pid) ||
        QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() != program)
        return 0;
    return pid;
}

bool ProgramFixture::stopInstance(int signal, int timeoutMs)
{
    return stopInstanceIn(m_root.filePath(QStringLiteral("runtime")), signal, timeoutMs);
}

bool ProgramFixture::stopInstanceIn(const QString &runtimeFolder, int signal, int timeoutMs)
{
    const qint64 pid = instancePidIn(runtimeFolder);
    if (pid <= 0)
        return true;
    ::kill(pid_t(pid), signal);
    QDeadlineTimer deadline(timeoutMs);
    while (isAlive(pid)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

namespace StoreRows {

QList<QVariantList> read(const QString &path, const char *sql)
{
    QList<QVariantList> rows;
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QVariantList row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                switch (sqlite3_column_type(statement, column)) {
                case SQLITE_NULL:
                    row << QVariant();
                    break;
                case SQLITE_INTEGER:
                    row << QVariant(qint64(sqlite3_column_int64(statement, column)));
                    break;
                case SQLITE_FLOAT:
                    row << QVariant(sqlite3_column_double(statement, column));
                    break;
                default:
                    row << QVariant(QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                        sqlite3_column_bytes(statement, column)));
                }
            }
            rows << row;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

} // namespace StoreRows
