#pragma once

// The old place of the codeplug check, for the main window's include until it
// names model/document/codeplug_check.h; nothing else includes this.
#include "model/document/codeplug_check.h"
