#pragma once

// A disk that fills up and empties again, for everything the process opens with SQLite: while
// one lives, a VFS wrapping the real default one is the default, so the store runs its own code
// over it. While full, every write answers SQLITE_FULL ("database or disk is full"), as the unix
// VFS does when the file system says ENOSPC; reads, locks and everything else pass through.
// Full at its syncs instead, the writes pass and what SQLite reports as an I/O error fails: every
// sync, and the growth of a -shm, with errno ENOSPC (a file system that finds no room only when
// it flushes, or no room for the -shm's pages).
//
// Make it before the store is opened (a connection keeps the VFS it was opened with). One at a
// time; connections still open when it goes on working over the real files.
class FullDisk
{
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    enum class Failing
    {
        writes,
        syncs,
    };
    void setFull(bool full, Failing failing = Failing::writes);
    bool isFull() const;
    // Writes (syncs and -shm growths) refused so far.
    int refusedWrites() const;
};
