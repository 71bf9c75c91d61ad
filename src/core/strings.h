#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvex {

inline constexpr int kEnglish = 0;
inline constexpr int kChinese = 1;

// The text for base number n in a language: entry n + 1000 x language.
// An unknown number gives "".
std::string_view Text(int base, int language);

// `pattern` with %1, %2 ... replaced by `args` in order.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& args);

// Text(base, language) with its %1, %2 ... filled in.
std::string TextOf(int base, int language, const std::vector<std::string>& args = {});

// One entry of the string table by its own number; "" when absent.
std::string_view StringEntry(int number);

// Every number the table holds, ascending.
std::vector<int> StringNumbers();

// The windows or code that use an entry (for example "frmChannel,frmSetting");
// "" when absent.
std::string_view StringUser(int number);

}  // namespace orvex
