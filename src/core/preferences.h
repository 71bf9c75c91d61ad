#pragma once

namespace orvex {

// The "Language" preference, kept per user under "SoftWare/ /ORVEX": a
// machine-wide store would need administrator rights and silently lose the
// choice.  A missing or unexpected value reads as English (0).
int ReadLanguagePreference();
void WriteLanguagePreference(int language);

// Whether a Write is read back and compared; on unless the user turned it off.
bool ReadVerifyAfterWrite();
void WriteVerifyAfterWrite(bool verify);

}  // namespace orvex
