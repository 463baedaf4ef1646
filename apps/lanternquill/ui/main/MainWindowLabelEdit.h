#pragma once

namespace lq {

class MainWindow;

// Completes the sidebar's label edit before a command changes the rows or starts another edit: an
// open edit box is closed keeping its text, and an edit that ended but is not yet completed is
// completed now. Otherwise the later completion would take the new command's follow-up (a new
// project's first note) or end its peek. Nothing happens when no edit is open or waiting.
void FinishLabelEditFirst(MainWindow& window);

}  // namespace lq
