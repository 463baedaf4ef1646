#include "SmokeCheck.h"

#include <memory>
#include <optional>

#include "DatabaseOpening.h"
#include "store/NoteStore.h"

namespace lq {

std::string MakeSmokeText(uint64_t tickCount) {
    return "smoke " + std::to_string(tickCount);
}

ExitCode CheckSmokeNote(const std::wstring& path, int64_t noteId, std::string_view text) {
    const std::unique_ptr<Database> db = OpenDatabaseWithDialogs(path, true, {});
    if (!db) return ExitCode::SmokeCheckFailed;
    const std::optional<LoadedNote> note = NoteStore(*db).GetNoteForEditor(noteId);
    if (!note || note->content.find(text) == std::string::npos) return ExitCode::SmokeCheckFailed;
    return ExitCode::Ok;
}

}  // namespace lq
