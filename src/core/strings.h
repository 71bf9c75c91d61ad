#pragma once

#include <string_view>
#include <vector>

namespace orvex {

inline constexpr int kEnglish = 0;
inline constexpr int kChinese = 1;

// The text for base number n in a language: entry n + 1000 x language.
// An unknown number gives "".
std::string_view Text(int base, int language);

// One entry of the string table by its own number; "" when absent.
std::string_view StringEntry(int number);

// Every number the table holds, ascending.
std::vector<int> StringNumbers();

// The windows or code that use an entry (for example "frmChannel,frmSetting");
// "" when absent.
std::string_view StringUser(int number);

}  // namespace orvex
