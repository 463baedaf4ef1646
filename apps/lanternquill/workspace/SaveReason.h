#pragma once

#include <cstdint>

namespace lq {

// Why a save is asked for. Workspace::SaveAll does the same work for every reason; callers use it to
// decide whether a failure is shown (not at the end of the session nor on suspend).
enum class SaveReason : int32_t {
    Timer = 0,                // the autosave timer, 800 ms after the last modification
    SwitchingNote = 1,        // the open note is modified and another note or project is about to be shown
    Deactivated = 2,          // the main window lost activation
    UserSave = 3,             // the save command and the self-test
    Closing = 4,              // closing the main window, repeated while the user retries
    EndSession = 5,           // the end of the Windows session
    Suspend = 6,              // the system is suspending
    BeforeBulkOperation = 7,  // before export, import, backup and replace in all notes
};

// What Workspace::SaveAll did.
enum class SaveResult : int32_t {
    NothingToSave = 0,  // nothing differed from the database; no transaction was begun
    Saved = 1,          // everything was committed
    Failed = 2,         // rolled back or never begun; nothing is marked saved
};

}  // namespace lq
