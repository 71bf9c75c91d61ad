#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The release number, set once by the top-level project() VERSION ("2.1").
std::string_view ProgramVersion();
// The source revision the programs were built from ("35d7529", with
// "-dirty" for uncommitted changes); empty when not built from git.
std::string_view SourceRevision();
// The release date as YYYY-MM-DD.
std::string_view ReleaseDate();
// "2.1 (git 35d7529)", or "2.1" without a revision: what --version prints.
std::string VersionText();

}  // namespace orvex
