#pragma once

// How a screen reader hears a name made of parts, in every face.

#include <string>
#include <vector>

namespace orvex {

// The parts that are not blank, trimmed and joined by ", " ("Channel 6, Rx
// Freq, 145.50000").
std::string JoinSpoken(const std::vector<std::string>& parts);

}  // namespace orvex
