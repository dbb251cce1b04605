#pragma once

#include <QString>
#include <optional>

// A test that needs a file system of its own (a small tmpfs, to fill a disk) runs in a mount
// namespace of its own, so the machine never sees the mount and it goes with the test. Under root
// the test function runs again in a new mount namespace; for anyone else in a user namespace that
// maps them to root, where the kernel allows one.
namespace MountNamespace {

// True in the run inside the namespace, where the test mounts what it needs.
bool isInside();
// Runs one test function of the running test executable again inside a namespace and returns
// whether it passed (its output goes to this test's log); none, with the reason in *why, when no
// namespace can be made here.
std::optional<bool> runTestFunction(const QString &function, QString *why);
// Inside: a tmpfs of `bytes` over a folder for the life of this object, so the folder can be
// removed afterwards.
class Tmpfs
{
public:
    Tmpfs(const QString &folder, qint64 bytes);
    ~Tmpfs();
    Tmpfs(const Tmpfs &) = delete;
    Tmpfs &operator=(const Tmpfs &) = delete;
    bool isMounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// Writes the file at `path` until the disk it is on has only about `room` bytes left (a tmpfs
// counts whole pages, so rounded down to them); false unless the disk really ran out first.
bool fill(const QString &path, qint64 room = 0);

} // namespace MountNamespace
