#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace MountNamespace {
class Tmpfs;
}

// A folder on a disk that is full, or nearly: once about `room` more bytes are written there,
// every write fails with "No space left on device". Where the test may mount file systems (root
// with the right to) it is a small tmpfs, the real thing; elsewhere, or when asked for, an
// ordinary folder in which FileWriter's writes are replaced by ones that run out of room the same
// way. Either way nothing is skipped. One at a time.
class FullFolder
{
public:
    enum class Kind
    {
        realWhenPossible,
        standIn,
    };

    explicit FullFolder(Kind kind = Kind::realWhenPossible);
    ~FullFolder();
    FullFolder(const FullFolder &) = delete;
    FullFolder &operator=(const FullFolder &) = delete;

    bool isReady() const { return m_ready; }
    // A mounted tmpfs rather than the stand-in.
    bool isReal() const { return m_tmpfs != nullptr; }
    QString filePath(const QString &name) const;

    // A file put there while there is still room (the one an export must leave as it was).
    bool place(const QString &name, const QByteArray &bytes);
    // Takes up the room that is left but about `room` bytes (rounded down to whole pages on the
    // tmpfs); later writes fail once that is used up.
    bool fill(qint64 room);
    // What the folder holds besides the filler, by name: no temporary file may stay behind.
    QStringList entries() const;

private:
    QTemporaryDir m_dir;
    QString m_folder;
    bool m_ready = false;
    std::unique_ptr<MountNamespace::Tmpfs> m_tmpfs;
};

// Holds FileWriter's writes: the first `passing` go through, the next one waits until open() (or
// the gate's end), so a test catches a writer in the middle of a file.
class WriteGate
{
public:
    explicit WriteGate(int passing = 0);
    ~WriteGate();
    WriteGate(const WriteGate &) = delete;
    WriteGate &operator=(const WriteGate &) = delete;

    // Whether a writer is waiting at the gate within `timeoutMs`.
    bool waitUntilHeld(int timeoutMs = 10000);
    void open();
};
