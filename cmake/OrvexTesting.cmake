include(GoogleTest)

# One test executable per *_test.cpp (GoogleTest) or *_qtest.cpp (Qt Test)
# file in the calling directory, so a broken suite never stops the others from
# building.
#   orvex_gtest_dir(LIBS lib... [DEPENDS target...])
#   orvex_qtest_dir(LIBS lib... [DEPENDS target...] [BY_FUNCTION name...])
# DEPENDS names programs the tests start (orvex-cli, orvex-sim); they are
# built first and found in ORVEX_BIN_DIR.  BY_FUNCTION names Qt Test suites
# slow enough (real transfers) to run one test function per CTest test, so
# no single test nears its time limit on a busy machine; the functions are
# listed by the suite itself after each build.
function(_orvex_test_common name)
  target_compile_definitions(${name} PRIVATE
    ORVEX_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    ORVEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ORVEX_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  foreach(dep IN LISTS ARGN)
    if(TARGET ${dep})
      add_dependencies(${name} ${dep})
    endif()
  endforeach()
endfunction()

set(_ORVEX_SANITIZED_SHARDS 3)

function(orvex_gtest_dir)
  cmake_parse_arguments(T "" "" "LIBS;DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)  # no QObject in a GoogleTest suite
    _orvex_test_common(${name} ${T_DEPENDS})
    orvex_use_pch(${name} gtest)
    if(ORVEX_SANITIZE)
      # Under the sanitizers a process start costs more than most cases, so
      # each suite runs in a few shards rather than case by case (the normal
      # build reports case by case).
      foreach(shard RANGE 1 ${_ORVEX_SANITIZED_SHARDS})
        math(EXPR index "${shard} - 1")
        add_test(NAME ${name}.shard${shard} COMMAND ${name})
        set_tests_properties(${name}.shard${shard} PROPERTIES TIMEOUT 300 ENVIRONMENT
          "QT_QPA_PLATFORM=offscreen;GTEST_TOTAL_SHARDS=${_ORVEX_SANITIZED_SHARDS};GTEST_SHARD_INDEX=${index}")
      endforeach()
    else()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
    endif()
  endforeach()
endfunction()

function(orvex_qtest_dir)
  cmake_parse_arguments(T "" "" "LIBS;DEPENDS;BY_FUNCTION" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_qtest.cpp)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    _orvex_test_common(${name} ${T_DEPENDS})
    if(NOT TARGET orvex_pch_qtest)
      orvex_pch_set(qtest LIBS Qt6::Widgets Qt6::Test
                    HEADERS <QSignalSpy> <QTest> ${ORVEX_WIDGETS_HEADERS} ${ORVEX_STD_HEADERS})
    endif()
    orvex_use_pch(${name} qtest)
    # Each suite includes its own moc output; the file moc adds beside it is
    # empty and needs no headers.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/mocs_compilation.cpp
                                PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    if(name IN_LIST T_BY_FUNCTION)
      _orvex_qtest_by_function(${name})
    else()
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
    endif()
  endforeach()
endfunction()

set(_ORVEX_QTEST_LISTER ${CMAKE_CURRENT_LIST_DIR}/OrvexQtestFunctions.cmake)

function(_orvex_qtest_by_function name)
  set(listed ${CMAKE_CURRENT_BINARY_DIR}/${name}_functions.cmake)
  set(include ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=$<TARGET_FILE:${name}> -DSUITE=${name} -DOUTPUT=${listed}
            -P ${_ORVEX_QTEST_LISTER}
    VERBATIM)
  file(WRITE ${include}
    "if(EXISTS [==[${listed}]==])\n  include([==[${listed}]==])\n"
    "else()\n  add_test([==[${name}_NOT_BUILT]==] [==[${name}_NOT_BUILT]==])\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include})
endfunction()
