#include "support/FullDisk.h"

#include <QtGlobal>
#include <atomic>
#include <cerrno>
#include <sqlite3.h>

namespace {

std::atomic<bool> g_full{false};
std::atomic<bool> g_atSyncs{false};
std::atomic<int> g_refused{0};
std::atomic<bool> g_alive{false};
sqlite3_vfs *g_real = nullptr;

// Our file: the header SQLite sees, followed by the real VFS's own file.
struct File
{
    sqlite3_file base;
    // The errno of the last call refused here, as the unix VFS keeps one per file.
    int lastErrno;
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

sqlite3_file *realOf(sqlite3_file *file)
{
    return reinterpret_cast<File *>(file)->real();
}

int xClose(sqlite3_file *f)
{
    return realOf(f)->pMethods->xClose(realOf(f));
}
int xRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset)
{
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}
// What the unix VFS answers for ENOSPC met outside a write: an I/O error, the errno kept.
int refusedAsIoError(sqlite3_file *f, int code)
{
    ++g_refused;
    reinterpret_cast<File *>(f)->lastErrno = ENOSPC;
    errno = ENOSPC;
    return code;
}

int xWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (g_full && !g_atSyncs) {
        ++g_refused;
        return SQLITE_FULL;
    }
    return realOf(f)->pMethods->xWrite(realOf(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}
int xSync(sqlite3_file *f, int flags)
{
    if (g_full && g_atSyncs)
        return refusedAsIoError(f, SQLITE_IOERR_FSYNC);
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int xLock(sqlite3_file *f, int level)
{
    return realOf(f)->pMethods->xLock(realOf(f), level);
}
int xUnlock(sqlite3_file *f, int level)
{
    return realOf(f)->pMethods->xUnlock(realOf(f), level);
}
int xCheckReservedLock(sqlite3_file *f, int *out)
{
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int xFileControl(sqlite3_file *f, int op, void *arg)
{
    if (op == SQLITE_FCNTL_LAST_ERRNO && reinterpret_cast<File *>(f)->lastErrno != 0) {
        *static_cast<int *>(arg) = reinterpret_cast<File *>(f)->lastErrno;
        return SQLITE_OK;
    }
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int xSectorSize(sqlite3_file *f)
{
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int xDeviceCharacteristics(sqlite3_file *f)
{
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int xShmMap(sqlite3_file *f, int page, int size, int extend, void volatile **out)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    if (m->iVersion < 2)
        return SQLITE_IOERR_SHMMAP;
    if (!(g_full && g_atSyncs && extend))
        return m->xShmMap(realOf(f), page, size, extend, out);
    // Asked without growing first: only a region the -shm lacks needs room.
    const int rc = m->xShmMap(realOf(f), page, size, 0, out);
    if (rc == SQLITE_OK && *out == nullptr)
        return refusedAsIoError(f, SQLITE_IOERR_SHMSIZE);
    return rc;
}
int xShmLock(sqlite3_file *f, int offset, int n, int flags)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    return m->iVersion >= 2 ? m->xShmLock(realOf(f), offset, n, flags) : SQLITE_IOERR_SHMLOCK;
}
void xShmBarrier(sqlite3_file *f)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    if (m->iVersion >= 2)
        m->xShmBarrier(realOf(f));
}
int xShmUnmap(sqlite3_file *f, int deleteFlag)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    return m->iVersion >= 2 ? m->xShmUnmap(realOf(f), deleteFlag) : SQLITE_OK;
}
int xFetch(sqlite3_file *f, sqlite3_int64 offset, int amount, void **out)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    if (m->iVersion >= 3)
        return m->xFetch(realOf(f), offset, amount, out);
    *out = nullptr;
    return SQLITE_OK;
}
int xUnfetch(sqlite3_file *f, sqlite3_int64 offset, void *p)
{
    const sqlite3_io_methods *m = realOf(f)->pMethods;
    return m->iVersion >= 3 ? m->xUnfetch(realOf(f), offset, p) : SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,
    xClose,
    xRead,
    xWrite,
    xTruncate,
    xSync,
    xFileSize,
    xLock,
    xUnlock,
    xCheckReservedLock,
    xFileControl,
    xSectorSize,
    xDeviceCharacteristics,
    xShmMap,
    xShmLock,
    xShmBarrier,
    xShmUnmap,
    xFetch,
    xUnfetch,
};

int xOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    sqlite3_file *real = reinterpret_cast<File *>(file)->real();
    reinterpret_cast<File *>(file)->lastErrno = 0;
    const int rc = g_real->xOpen(g_real, name, real, flags, outFlags);
    // SQLite calls xClose only on a file whose methods are set.
    file->pMethods = real->pMethods ? &kMethods : nullptr;
    return rc;
}

// Everything but opening a file is the real VFS's, called with the real VFS.
int xDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    return g_real->xDelete(g_real, name, syncDir);
}
int xAccess(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return g_real->xAccess(g_real, name, flags, out);
}
int xFullPathname(sqlite3_vfs *, const char *name, int size, char *out)
{
    return g_real->xFullPathname(g_real, name, size, out);
}
void *xDlOpen(sqlite3_vfs *, const char *name)
{
    return g_real->xDlOpen(g_real, name);
}
void xDlError(sqlite3_vfs *, int size, char *out)
{
    g_real->xDlError(g_real, size, out);
}
void (*xDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void)
{
    return g_real->xDlSym(g_real, handle, symbol);
}
void xDlClose(sqlite3_vfs *, void *handle)
{
    g_real->xDlClose(g_real, handle);
}
int xRandomness(sqlite3_vfs *, int size, char *out)
{
    return g_real->xRandomness(g_real, size, out);
}
int xSleep(sqlite3_vfs *, int microseconds)
{
    return g_real->xSleep(g_real, microseconds);
}
int xCurrentTime(sqlite3_vfs *, double *out)
{
    return g_real->xCurrentTime(g_real, out);
}
int xGetLastError(sqlite3_vfs *, int size, char *out)
{
    return g_real->xGetLastError ? g_real->xGetLastError(g_real, size, out) : 0;
}
int xCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *out)
{
    return g_real->xCurrentTimeInt64(g_real, out);
}

// Lives as long as the process: connections opened through it may outlast the FullDisk.
sqlite3_vfs g_vfs;

} // namespace

FullDisk::FullDisk()
{
    Q_ASSERT(!g_alive);
    g_alive = true;
    if (!g_real) {
        sqlite3_initialize();
        g_real = sqlite3_vfs_find(nullptr);
        g_vfs = sqlite3_vfs{};
        g_vfs.iVersion = 2;
        g_vfs.szOsFile = int(sizeof(File)) + g_real->szOsFile;
        g_vfs.mxPathname = g_real->mxPathname;
        g_vfs.zName = "grumblix-full-disk";
        g_vfs.xOpen = xOpen;
        g_vfs.xDelete = xDelete;
        g_vfs.xAccess = xAccess;
        g_vfs.xFullPathname = xFullPathname;
        g_vfs.xDlOpen = xDlOpen;
        g_vfs.xDlError = xDlError;
        g_vfs.xDlSym = xDlSym;
        g_vfs.xDlClose = xDlClose;
        g_vfs.xRandomness = xRandomness;
        g_vfs.xSleep = xSleep;
        g_vfs.xCurrentTime = xCurrentTime;
        g_vfs.xGetLastError = xGetLastError;
        g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    }
    g_full = false;
    g_atSyncs = false;
    g_refused = 0;
    sqlite3_vfs_register(&g_vfs, 1);
}

FullDisk::~FullDisk()
{
    g_full = false;
    g_atSyncs = false;
    sqlite3_vfs_unregister(&g_vfs);
    // Unregistering the default leaves the choice of the next one to SQLite: make it the real one.
    sqlite3_vfs_register(g_real, 1);
    g_alive = false;
}

void FullDisk::setFull(bool full, Failing failing)
{
    g_atSyncs = failing == Failing::syncs;
    g_full = full;
}

bool FullDisk::isFull() const
{
    return g_full;
}

int FullDisk::refusedWrites() const
{
    return g_refused;
}
