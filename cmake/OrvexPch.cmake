# Precompiled headers.  Parsing Qt's and GoogleTest's headers is most of the
# compile time of a window or a test, so each header set below is compiled
# once and reused by every target of its kind.  Configure with
# CMAKE_DISABLE_PRECOMPILE_HEADERS=ON to build without them (which also
# shows a file that does not include what it uses).
#   orvex_use_pch(TARGET gtest|widgets|qtest)

# One header set: a small library that only compiles the headers.  GCC
# takes a precompiled header only into files compiled with the same
# code-generation options (-fPIC is set on every user, as Qt asks for it) and
# with every macro the header was compiled with: so a set is compiled with
# the fewest Qt libraries its users all have, and the Qt Test set is made in
# the folder of its suites (Qt Test defines that folder).
function(orvex_pch_set kind)
  cmake_parse_arguments(P "" "" "LIBS;HEADERS" ${ARGN})
  set(name orvex_pch_${kind})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Built only for its precompiled headers.\n")
  add_library(${name} STATIC ${source})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  target_compile_options(${name} PRIVATE -fPIC)
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_precompile_headers(${name} PRIVATE ${P_HEADERS})
endfunction()

function(orvex_use_pch target kind)
  if(TARGET orvex_pch_${kind})
    target_compile_options(${target} PRIVATE -fPIC)
    target_precompile_headers(${target} REUSE_FROM orvex_pch_${kind})
  endif()
endfunction()

set(ORVEX_STD_HEADERS <algorithm> <array> <functional> <memory> <optional> <string> <vector>)
set(ORVEX_WIDGETS_HEADERS
  <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QGroupBox> <QHBoxLayout> <QHeaderView>
  <QKeyEvent> <QLabel> <QLineEdit> <QMdiArea> <QMdiSubWindow> <QMenu> <QMessageBox> <QPushButton>
  <QString> <QTableView> <QTableWidget> <QTreeWidget> <QVBoxLayout>)

if(ORVEX_BUILD_GUI)
  orvex_pch_set(widgets LIBS Qt6::Widgets HEADERS ${ORVEX_WIDGETS_HEADERS} ${ORVEX_STD_HEADERS})
endif()
if(ORVEX_BUILD_TESTS)
  orvex_pch_set(gtest LIBS GTest::gtest HEADERS <gtest/gtest.h> ${ORVEX_STD_HEADERS})
endif()
