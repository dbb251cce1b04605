#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>
#include <memory>
#include <sys/types.h>

// Writes one file atomically: the bytes go to a temporary file beside the target, which replaces
// the target only once every byte is on the disk. A failure at any step leaves the target as it
// was and keeps the system's own reason for the first thing that went wrong ("No space left on
// device"), which QSaveFile alone loses when a disk fills up part-way through a write.
//
// A large file is sent on to the disk as it is written, a few megabytes behind: left all to the
// final sync, a file of a hundred megabytes makes every other sync on the same file system (the
// store's save with each change) wait until the whole of it is on the disk, since the journal
// commits the file's data along with theirs.
//
// Not thread-safe; one writer may be used on any one thread.
class FileWriter
{
public:
    explicit FileWriter(const QString &path);
    // Discards the temporary file unless commit() succeeded.
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    bool open();
    // All of `bytes` or false; after a failure every later call fails with the same reason.
    bool write(QByteArrayView bytes);
    // Flushes to the disk and puts the file in place of the target.
    bool commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The system's reason for the first failure; empty while nothing failed.
    QString errorString() const { return m_error; }

    // Writes `bytes` to `path` in one go; false, with `reason` set, when it failed.
    static bool writeAll(const QString &path, QByteArrayView bytes, QString *reason = nullptr);

    // The one way of saying that writing `fileName` failed: "Could not save out.csv: No space left
    // on device."
    static QString failureText(const QString &fileName, const QString &reason);
    // The same for a file the user chose, with what they can do about it: "… Nothing was changed;
    // pick another folder."
    static QString exportFailureText(const QString &fileName, const QString &reason);

    // Every write of every writer goes through this call, write(2) unless a test puts a stand-in in
    // its place (a disk that fills up, a write that waits). Same contract as write(2): the count
    // written, or -1 with errno set. Set it while no writer is writing.
    using SystemWrite = ssize_t (*)(int fd, const void *data, size_t size);
    static void setSystemWrite(SystemWrite call);
    // The same for sending written bytes on to the disk: sync_file_range(2) unless replaced.
    using SystemSyncRange = int (*)(int fd, off_t offset, off_t count, unsigned int flags);
    static void setSystemSyncRange(SystemSyncRange call);

    // Bytes written back to the disk in one step; at most two steps (and one write) are ever
    // waiting for the disk.
    static constexpr qint64 writeBehindStep = 2 * 1024 * 1024;

private:
    bool fail(const QString &reason);
    // Starts the bytes written since the last step on their way to the disk and waits for the
    // step before them.
    bool writeBehind();

    QString m_path;
    // Null before open() and once discarded or committed: destroying an uncommitted QSaveFile
    // removes its temporary file without first syncing it to the disk.
    std::unique_ptr<QSaveFile> m_file;
    QString m_error;
    qint64 m_written = 0;
    qint64 m_started = 0;      // sent on to the disk up to here, not yet waited for
    qint64 m_settled = 0;      // on the disk up to here
    bool m_writeBehind = true; // false where the file system has no use for it
};
