#include "textfiles/AtomicFileWriter.h"

#include <windows.h>

#include "platform/FileHandle.h"
#include "platform/LongPath.h"
#include "store/DatabaseFiles.h"

namespace lq {

std::wstring AtomicTempPath(const std::wstring& target) {
    // Exports and backups share one naming scheme, so a leftover of either is recognised alike.
    return BackupTemporaryPath(target, GetCurrentProcessId());
}

bool WriteFileAtomically(const std::wstring& target, std::string_view bytes) {
    // One WriteFile call must report every byte, which a DWORD count cannot do from 4 GiB on.
    if (bytes.size() > MAXDWORD) return false;
    const std::wstring temp = UsableFilePath(AtomicTempPath(target));
    const std::wstring destination = UsableFilePath(target);
    RemoveLeftoverTemporaryFiles(target);

    FileHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;

    bool written = true;
    if (!bytes.empty()) {
        DWORD count = 0;
        const auto wanted = static_cast<DWORD>(bytes.size());
        written = WriteFile(file.get(), bytes.data(), wanted, &count, nullptr) && count == wanted;
    }
    written = written && FlushFileBuffers(file.get());
    written = file.Close() && written;
    if (!written) {
        DeleteFileW(temp.c_str());
        return false;
    }

    if (!MoveFileExW(temp.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace lq
