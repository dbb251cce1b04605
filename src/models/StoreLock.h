#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// One program writes a store at a time, whoever starts it and from whatever environment. The
// writer holds an exclusive lock on a file beside the store ("Grumblix.store.lock"), a lock of its
// open file description that the kernel lets go of however the program ends, so no stale lock
// outlives a crash and none is shared with a child. In that file the writer notes its pid and
// where it can be reached (the socket of its single-instance folder), so a launch from an
// environment without the desktop's runtime folder (cron, su -, sudo -u) finds it by way of the
// store. Plain C++: the launcher reads the note too.
class StoreLock
{
public:
    // What the writer noted about itself.
    struct Note
    {
        pid_t pid = 0;
        std::string address; // the socket it listens on; empty until it listens
        bool operator==(const Note &) const = default;
    };

    // The lock file of the store at `storePath`.
    static std::string pathFor(const std::string &storePath);

    // Takes the lock of the store at `storePath`, whose folder must exist, without waiting. Not
    // held when another program holds it (isBusy()) or when the lock file cannot be used (error()).
    // Taking it clears the note the last writer left.
    static StoreLock acquire(const std::string &storePath);
    // What the program that holds the lock of the store at `storePath` noted, when one holds it and
    // the lock file is this user's own, not writable by anyone else. None otherwise, also while
    // the holder is writing its note.
    static std::optional<Note> readNote(const std::string &storePath);

    StoreLock() = default;
    StoreLock(StoreLock &&other) noexcept;
    StoreLock &operator=(StoreLock &&other) noexcept;
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;
    // Clears the note and lets go of the lock.
    ~StoreLock();

    bool isHeld() const { return m_fd >= 0; }
    // Another program held the lock when acquire() tried.
    bool isBusy() const { return m_busy; }
    // Why the lock is not held, for the user: "another Grumblix (process 4242) writes to it", or
    // what kept the lock file from being used.
    const std::string &error() const { return m_error; }

    // Notes this process as the writer, reachable at `address`; false when the lock is not held
    // or the note could not be written.
    bool note(const std::string &address);

private:
    void release();

    int m_fd = -1;
    bool m_busy = false;
    std::string m_error;
};
