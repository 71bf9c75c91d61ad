#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The release number, set once by the top-level project() VERSION ("2.1").
std::string_view ProgramVersion();
// The release date as YYYY-MM-DD.
std::string_view ReleaseDate();
// The source revision the program was built from ("35d7529", with "-dirty"
// for uncommitted changes); empty when not built from git, and in tests.
std::string_view SourceRevision();
// "2.1 (git 35d7529)", or "2.1" without a revision: what --version prints.
std::string VersionText();

// The programs link in a registration with the revision, written at every
// build; libraries and tests do not, so a new commit relinks only the programs.
struct SourceRevisionRegistration {
  explicit SourceRevisionRegistration(std::string_view revision);
};

}  // namespace orvex
