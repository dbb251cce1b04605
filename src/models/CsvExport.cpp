#include "CsvExport.h"

#include "Csv.h"

#include <QCoreApplication>
#include <QThread>

CsvExport::CsvExport(const QString &path, EventSnapshot events, QList<Trigger> triggers, QObject *parent)
    : QObject(parent), m_path(path), m_events(std::move(events)), m_triggers(std::move(triggers)),
      m_count(m_events.size())
{
    // Quitting must not leave the process waiting on, or exiting under, a half-written file.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &CsvExport::cancel);
}

CsvExport::~CsvExport()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    delete m_thread;
}

void CsvExport::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] { run(); });
    m_thread->setObjectName(QStringLiteral("CsvExport"));
    // Emitted on the worker as it ends, so delivered here after the worker's last read.
    connect(m_thread, &QThread::finished, this, [this] { end(); });
    m_thread->start();
}

void CsvExport::cancel()
{
    if (!m_thread || m_finished)
        return;
    m_stop = true;
    end();
}

void CsvExport::run()
{
    int reported = 0;
    Csv::WriteControl control;
    control.stop = &m_stop;
    control.progress = [this, &reported](qsizetype written) {
        const int percent = m_count > 0 ? int(written * 100 / m_count) : 100;
        if (percent == reported)
            return;
        reported = percent;
        QMetaObject::invokeMethod(
            this, [this, percent] { setPercent(percent); }, Qt::QueuedConnection);
    };
    // Read back on this object's thread only after wait(), which orders it after these writes.
    m_workerSucceeded = Csv::write(m_path, m_events, m_triggers, &m_workerError, control);
}

void CsvExport::setPercent(int percent)
{
    if (m_finished || percent == m_percent)
        return;
    m_percent = percent;
    Q_EMIT percentChanged(percent);
}

void CsvExport::end()
{
    if (m_finished)
        return;
    m_thread->wait();
    m_finished = true;
    m_succeeded = m_workerSucceeded;
    m_cancelled = !m_succeeded && m_workerError.isEmpty() && m_stop;
    m_error = m_succeeded ? QString() : m_workerError;
    // The worker is done with them: no longer hold the store's chunks.
    m_events = EventSnapshot();
    m_triggers.clear();
    Q_EMIT finished();
}
