#pragma once

namespace orvex {

// The "Language" preference, kept per user under "SoftWare/ /ORVEX": a
// machine-wide store would need administrator rights and silently lose the
// choice.  A missing or unexpected value reads as English (0).
int ReadLanguagePreference();
void WriteLanguagePreference(int language);

}  // namespace orvex
