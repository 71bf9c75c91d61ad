# Run after a Qt Test suite is built: asks it for its test functions and
# writes one CTest test per function.
#   cmake -DEXECUTABLE=... -DSUITE=... -DOUTPUT=... -P OrvexQtestFunctions.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ${EXECUTABLE} -functions
  OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SUITE} -functions failed (${result}): ${errors}")
endif()
set(content "")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^ *([A-Za-z_][A-Za-z0-9_]*)\\(\\)")
    set(function ${CMAKE_MATCH_1})
    string(APPEND content
      "add_test([==[${SUITE}.${function}]==] [==[${EXECUTABLE}]==] ${function})\n"
      "set_tests_properties([==[${SUITE}.${function}]==] PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)\n")
  endif()
endforeach()
if(content STREQUAL "")
  message(FATAL_ERROR "${SUITE} lists no test functions")
endif()
file(WRITE ${OUTPUT} "${content}")
