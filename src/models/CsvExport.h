#pragma once

#include "EventSnapshot.h"
#include "Trigger.h"

#include <QObject>
#include <QString>
#include <atomic>

class QThread;

// One CSV export, written on a thread of its own so the thread that asked for it stays free.
// The caller hands over a snapshot of the incidents and the trigger list, so what the store does
// meanwhile never reaches the file; the object lives on the caller's thread, which hears the
// progress and the end there. The worker only reads the snapshot, and this object keeps it (and so
// the store's chunks it shares) until the worker is done, so no reference on them is dropped on
// the worker's side.
class CsvExport : public QObject
{
    Q_OBJECT
public:
    CsvExport(const QString &path, EventSnapshot events, QList<Trigger> triggers, QObject *parent = nullptr);
    // Stops a running export and waits for its thread; the target stays as it was.
    ~CsvExport() override;

    // Starts the worker; once. Quitting the application cancels it.
    void start();
    // Stops the worker and waits until it has: nothing replaces the target. Then finished(), unless
    // it had finished already.
    void cancel();

    QString path() const { return m_path; }
    qsizetype count() const { return m_count; }
    bool isRunning() const { return m_thread && !m_finished; }
    bool isFinished() const { return m_finished; }
    // The share of incidents written, 0 to 100, as last reported.
    int percent() const { return m_percent; }

    // After finished(): whether the file is in place, whether it was cancelled, and otherwise the
    // system's reason for the failure.
    bool succeeded() const { return m_succeeded; }
    bool wasCancelled() const { return m_cancelled; }
    QString errorString() const { return m_error; }

Q_SIGNALS:
    void percentChanged(int percent);
    void finished();

private:
    void run();
    void setPercent(int percent);
    // On the object's thread: collects the worker and reports the outcome.
    void end();

    const QString m_path;
    EventSnapshot m_events;
    QList<Trigger> m_triggers;
    const qsizetype m_count;
    QThread *m_thread = nullptr;
    std::atomic_bool m_stop{false};
    int m_percent = 0;
    bool m_finished = false;
    bool m_succeeded = false;
    bool m_cancelled = false;
    QString m_error;
    // Written by the worker, read once it has ended.
    bool m_workerSucceeded = false;
    QString m_workerError;
};
