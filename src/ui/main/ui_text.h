#pragma once

#include <QString>
#include <string_view>

namespace orvex {

// The program's title, used as the caption and most message box titles.
inline constexpr auto kProgramTitle = "ORVEX";

// String table entry `base` in a language, as a QString.
QString UiText(int base, int language);

// "tw Files (*.tw)|*.tw" as a Qt file dialog filter: "tw Files (*.tw)".
QString DialogFilter(std::string_view filter);

}  // namespace orvex
