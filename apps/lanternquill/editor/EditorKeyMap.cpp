#include "editor/EditorKeyMap.h"

namespace lq {
namespace {

using Scintilla::KeyMod;
using Scintilla::Keys;
using Scintilla::Message;
using Scintilla::operator|;

constexpr int Key(Keys key) noexcept { return static_cast<int>(key); }

}  // namespace

const std::array<EditorKeyAssignment, 14> kEditorKeyAssignments = {{
    {'Z', KeyMod::Ctrl | KeyMod::Shift, SendsMessage(Message::Redo)},
    {Key(Keys::Back), KeyMod::Alt | KeyMod::Shift, SendsMessage(Message::Redo)},
    {Key(Keys::Up), KeyMod::Alt, SendsMessage(Message::MoveSelectedLinesUp)},
    {Key(Keys::Down), KeyMod::Alt, SendsMessage(Message::MoveSelectedLinesDown)},
    {Key(Keys::Home), KeyMod::Norm, SendsMessage(Message::HomeDisplay)},
    {Key(Keys::Home), KeyMod::Shift, SendsMessage(Message::HomeDisplayExtend)},
    {Key(Keys::End), KeyMod::Norm, SendsMessage(Message::LineEndDisplay)},
    {Key(Keys::End), KeyMod::Shift, SendsMessage(Message::LineEndDisplayExtend)},
    {'X', KeyMod::Ctrl, kCutAllowLineCommand},
    {Key(Keys::Delete), KeyMod::Shift, kCutAllowLineCommand},
    {Key(Keys::Delete), KeyMod::Ctrl, SendsMessage(Message::DelWordRightEnd)},
    {Key(Keys::Add), KeyMod::Ctrl, kClearKey},
    {Key(Keys::Subtract), KeyMod::Ctrl, kClearKey},
    {Key(Keys::Divide), KeyMod::Ctrl, kClearKey},
}};

void ApplyEditorKeyMap(ScintillaCompat& compat) {
    for (const EditorKeyAssignment& row : kEditorKeyAssignments) {
        compat.AssignKey(KeyDefinition(row.key, row.modifiers), row.command);
    }
}

}  // namespace lq
