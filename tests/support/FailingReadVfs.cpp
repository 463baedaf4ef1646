#include "support/FailingReadVfs.h"

#include <sqlite3.h>

#include <cstring>

namespace lq::test {
namespace {

// A file of the wrapping VFS: the real file follows it in the same allocation.
struct WrappedFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool failing;
};

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs wrappingVfs{};
sqlite3_io_methods wrappedMethods{};
std::string failingMarker;
constexpr sqlite3_int64 kFirstPageBytes = 4096;

sqlite3_file* Real(sqlite3_file* file) {
    return reinterpret_cast<WrappedFile*>(file)->real;
}

int Close(sqlite3_file* file) {
    return Real(file)->pMethods->xClose(Real(file));
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (reinterpret_cast<WrappedFile*>(file)->failing && offset + amount > kFirstPageBytes) return SQLITE_IOERR_READ;
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
    return Real(file)->pMethods->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xLock(Real(file), level);
}
int Unlock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xUnlock(Real(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* reserved) {
    return Real(file)->pMethods->xCheckReservedLock(Real(file), reserved);
}
int FileControl(sqlite3_file* file, int op, void* argument) {
    return Real(file)->pMethods->xFileControl(Real(file), op, argument);
}
int SectorSize(sqlite3_file* file) {
    return Real(file)->pMethods->xSectorSize(Real(file));
}
int DeviceCharacteristics(sqlite3_file* file) {
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** mapped) {
    return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, mapped);
}
int ShmLock(sqlite3_file* file, int offset, int count, int flags) {
    return Real(file)->pMethods->xShmLock(Real(file), offset, count, flags);
}
void ShmBarrier(sqlite3_file* file) {
    Real(file)->pMethods->xShmBarrier(Real(file));
}
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
    return Real(file)->pMethods->xFetch(Real(file), offset, amount, page);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    return Real(file)->pMethods->xUnfetch(Real(file), offset, page);
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* wrapped = reinterpret_cast<WrappedFile*>(file);
    wrapped->real = reinterpret_cast<sqlite3_file*>(wrapped + 1);
    const int result = realVfs->xOpen(realVfs, name, wrapped->real, flags, outFlags);
    if (result != SQLITE_OK || wrapped->real->pMethods == nullptr) {
        // SQLite closes nothing whose methods are null.
        if (wrapped->real->pMethods != nullptr) wrapped->real->pMethods->xClose(wrapped->real);
        wrapped->base.pMethods = nullptr;
        return result != SQLITE_OK ? result : SQLITE_CANTOPEN;
    }
    wrapped->failing = name != nullptr && (flags & SQLITE_OPEN_MAIN_DB) != 0 && (flags & SQLITE_OPEN_READONLY) != 0 &&
                       std::strstr(name, failingMarker.c_str()) != nullptr;
    wrapped->base.pMethods = &wrappedMethods;
    return SQLITE_OK;
}

}  // namespace

FailingReadVfs::FailingReadVfs(std::string marker) {
    if (realVfs != nullptr) return;  // one at a time
    realVfs = sqlite3_vfs_find(nullptr);
    if (realVfs == nullptr) return;
    failingMarker = std::move(marker);
    wrappingVfs = *realVfs;
    wrappingVfs.pNext = nullptr;
    wrappingVfs.zName = "lq-failing-read";
    wrappingVfs.szOsFile = static_cast<int>(sizeof(WrappedFile)) + realVfs->szOsFile;
    wrappingVfs.xOpen = Open;
    wrappedMethods = sqlite3_io_methods{3,
                                        Close,
                                        Read,
                                        Write,
                                        Truncate,
                                        Sync,
                                        FileSize,
                                        Lock,
                                        Unlock,
                                        CheckReservedLock,
                                        FileControl,
                                        SectorSize,
                                        DeviceCharacteristics,
                                        ShmMap,
                                        ShmLock,
                                        ShmBarrier,
                                        ShmUnmap,
                                        Fetch,
                                        Unfetch};
    installed_ = sqlite3_vfs_register(&wrappingVfs, 1) == SQLITE_OK;
    if (!installed_) realVfs = nullptr;
}

FailingReadVfs::~FailingReadVfs() {
    if (!installed_) return;
    sqlite3_vfs_unregister(&wrappingVfs);
    sqlite3_vfs_register(realVfs, 1);  // the default again
    realVfs = nullptr;
}

}  // namespace lq::test
