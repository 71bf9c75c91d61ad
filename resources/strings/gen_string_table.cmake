# Turns strings.tsv into a C++ source holding the string table as a constexpr
# array sorted by number, every text a string literal with its UTF-8 bytes
# escaped, so the build does not depend on the compiler's source charset.
#
#   cmake -DINPUT=strings.tsv -DOUTPUT=string_table_data.cpp -P gen_string_table.cmake
#
# Line format: NUMBER<TAB>TEXT<TAB>WHERE.  Empty lines and lines starting with
# "#" are skipped.  In TEXT, \n, \t and \\ stand for a line break, a tab and a
# backslash.  Any malformed line stops the build with its line number.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "usage: cmake -DINPUT=<tsv> -DOUTPUT=<cpp> -P gen_string_table.cmake")
endif()

# Sets ${out_var} to TEXT as the inside of a C++ string literal.  Printable
# ASCII stays readable; every other byte becomes a three-digit octal escape,
# which, unlike \x, cannot swallow a following digit.
function(escape_text text line_no out_var)
  string(HEX "${text}" hex)
  string(LENGTH "${hex}" hex_length)
  set(result "")
  set(after_backslash FALSE)
  set(i 0)
  while(i LESS hex_length)
    string(SUBSTRING "${hex}" ${i} 2 pair)
    math(EXPR i "${i} + 2")
    math(EXPR byte "0x${pair}")
    if(after_backslash)
      set(after_backslash FALSE)
      if(byte EQUAL 110)      # n
        string(APPEND result "\\n")
      elseif(byte EQUAL 116)  # t
        string(APPEND result "\\t")
      elseif(byte EQUAL 92)   # backslash
        string(APPEND result "\\\\")
      else()
        message(FATAL_ERROR "${INPUT}:${line_no}: unknown escape sequence in text (only \\n, \\t and \\\\)")
      endif()
    elseif(byte EQUAL 92)
      set(after_backslash TRUE)
    elseif(byte EQUAL 34)  # double quote
      string(APPEND result "\\\"")
    elseif(byte GREATER_EQUAL 32 AND byte LESS 127)
      string(ASCII ${byte} char)
      string(APPEND result "${char}")
    elseif(byte GREATER_EQUAL 128)
      math(EXPR d0 "${byte} / 64")
      math(EXPR d1 "(${byte} / 8) % 8")
      math(EXPR d2 "${byte} % 8")
      string(APPEND result "\\${d0}${d1}${d2}")
    else()
      message(FATAL_ERROR "${INPUT}:${line_no}: control character 0x${pair} in text")
    endif()
  endwhile()
  if(after_backslash)
    message(FATAL_ERROR "${INPUT}:${line_no}: text ends with a lone backslash")
  endif()
  set(${out_var} "${result}" PARENT_SCOPE)
endfunction()

# Splits TEXT at its first tab into ${head_var} and ${tail_var}.
function(cut_at_tab text line_no head_var tail_var)
  string(FIND "${text}" "\t" tab)
  if(tab EQUAL -1)
    message(FATAL_ERROR "${INPUT}:${line_no}: expected NUMBER<TAB>TEXT<TAB>WHERE")
  endif()
  string(SUBSTRING "${text}" 0 ${tab} head)
  math(EXPR after "${tab} + 1")
  string(SUBSTRING "${text}" ${after} -1 tail)
  set(${head_var} "${head}" PARENT_SCOPE)
  set(${tail_var} "${tail}" PARENT_SCOPE)
endfunction()

file(READ "${INPUT}" content)
set(numbers "")
set(line_no 0)
# Lines are cut with FIND/SUBSTRING rather than as a CMake list, so texts may
# hold ";" and "[" without being split or mangled.
while(NOT content STREQUAL "")
  math(EXPR line_no "${line_no} + 1")
  string(FIND "${content}" "\n" newline)
  if(newline EQUAL -1)
    set(line "${content}")
    set(content "")
  else()
    string(SUBSTRING "${content}" 0 ${newline} line)
    math(EXPR rest_start "${newline} + 1")
    string(SUBSTRING "${content}" ${rest_start} -1 content)
  endif()
  string(REGEX REPLACE "\r$" "" line "${line}")
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()

  cut_at_tab("${line}" ${line_no} number rest)
  cut_at_tab("${rest}" ${line_no} text where)

  if(NOT number MATCHES "^[1-9][0-9]?[0-9]?[0-9]?[0-9]?$" OR number GREATER 65535)
    message(FATAL_ERROR "${INPUT}:${line_no}: \"${number}\" is not a string number 1..65535")
  endif()
  if(text STREQUAL "")
    message(FATAL_ERROR "${INPUT}:${line_no}: entry ${number} has an empty text")
  endif()
  if(NOT where MATCHES "^[A-Za-z0-9_]+(,[A-Za-z0-9_]+)*$")
    message(FATAL_ERROR "${INPUT}:${line_no}: entry ${number} needs a WHERE of names separated by commas")
  endif()
  if(DEFINED line_of_${number})
    message(FATAL_ERROR "${INPUT}:${line_no}: entry ${number} already defined on line ${line_of_${number}}")
  endif()

  escape_text("${text}" ${line_no} escaped)
  set(line_of_${number} ${line_no})
  set(text_of_${number} "${escaped}")
  set(where_of_${number} "${where}")
  list(APPEND numbers ${number})
endwhile()

if(numbers STREQUAL "")
  message(FATAL_ERROR "${INPUT}: no entries")
endif()
list(SORT numbers COMPARE NATURAL)

set(rows "")
foreach(number IN LISTS numbers)
  string(APPEND rows "    {${number}, \"${text_of_${number}}\", \"${where_of_${number}}\"},\n")
endforeach()

set(source "// Generated from strings.tsv by gen_string_table.cmake; edit the .tsv instead.
#include <cstddef>

#include \"strings/string_table.h\"

namespace orvex::string_table {
namespace {

constexpr Row kRows[] = {
${rows}};

constexpr bool StrictlyAscending() {
  for (std::size_t i = 1; i < std::size(kRows); ++i) {
    if (kRows[i - 1].number >= kRows[i].number) return false;
  }
  return true;
}
static_assert(StrictlyAscending(), \"lookup relies on rows sorted by number\");

}  // namespace

std::span<const Row> Rows() { return kRows; }

}  // namespace orvex::string_table
")

# Rewrite only on change, so an edited comment in the .tsv recompiles nothing.
set(old_source "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old_source)
endif()
if(NOT old_source STREQUAL source)
  file(WRITE "${OUTPUT}" "${source}")
endif()
