#pragma once

// The whole codeplug's check before it goes to a radio: the channel records'
// findings (channels/channel_check.h) and those of the frequency modes, the
// signalling tables and the bytes a settings window would change.

#include <vector>

#include "core/memory_image.h"
#include "model/channels/channel_check.h"

namespace orvex {

// Every finding in the language asked for, errors before warnings; each of
// those channels first (in channel order, a group of channels sharing a name
// or a setup by its first channel), then the frequency modes, signalling
// tables and bytes a window would change.
std::vector<CheckFinding> CheckCodeplug(const Image& image, int language = 0);

}  // namespace orvex
