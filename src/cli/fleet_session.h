#pragma once

// write and read with several ports, --port all or --watch: every radio at
// once on one event loop, one progress line per radio on a terminal, and a
// table of outcomes at the end.

#include "cli/verb.h"
#include "core/memory_image.h"

namespace orvex::cli {

// Whether the command line names more than one radio (several --port, "all",
// or --watch).
bool IsFleet(const Args& args);

int RunFleetWrite(const Args& args, const Image& codeplug);
int RunFleetRead(const Args& args);

}  // namespace orvex::cli
