# Writes the programs' source revision registration with the current git
# revision.  Runs at every build; the file is only rewritten when the
# revision changed, so a build without new commits recompiles nothing.
#   cmake -DSOURCE_DIR=... -DINPUT=... -DOUTPUT=... -P WriteVersionSource.cmake
set(ORVEX_REVISION "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  # --exclude=* ignores tags: the short commit id alone, plus -dirty.
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty --abbrev=7 --exclude=*
    OUTPUT_VARIABLE ORVEX_REVISION
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE git_result)
  if(NOT git_result EQUAL 0)
    set(ORVEX_REVISION "")
  endif()
endif()
configure_file("${INPUT}" "${OUTPUT}.new" @ONLY)
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
