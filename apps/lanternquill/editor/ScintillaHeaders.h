#pragma once

// The editing component's headers in the order they need: ScintillaCall.h uses the standard string
// types and fixed-width integers without including them. Include this, never the headers one by one.
#include <cstdint>
#include <string>
#include <string_view>

#include "ScintillaTypes.h"
#include "ScintillaMessages.h"
#include "ScintillaStructures.h"
#include "ScintillaCall.h"
#include "Scintilla.h"
