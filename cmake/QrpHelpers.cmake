# SPDX-License-Identifier: GPL-3.0-or-later
# The source tree, also for projects of their own such as fuzz/tsan.
get_filename_component(QRP_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# A layer library made of every .cpp in its folder, so that new files need no
# edit here.
function(qrp_layer_library name dir)
  file(GLOB _srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC ${QRP_SOURCE_ROOT}/src)
  target_link_libraries(${name} ${ARGN})
endfunction()

# The tests of a layer: every tests/<layer>/*_test.cpp, with the layer's
# *_helpers.cpp, in one executable linked to LIBS. One executable a layer
# compiles the shared helpers, the moc step and the link once instead of once
# a file, which is most of a clean build's time. Tests that talk to a CUPS
# server (*cups*) get an executable each and the label "printer" instead of
# "unit", so that a package build can leave them out (ctest -L unit).
# QT selects the main that starts a QApplication on the offscreen platform.
# QRP_TEST_LAYERS, when set, limits the build to the layers it lists.
function(qrp_layer_tests layer)
  cmake_parse_arguments(T "QT" "" "LIBS" ${ARGN})
  if(QRP_TEST_LAYERS AND NOT layer IN_LIST QRP_TEST_LAYERS)
    return()
  endif()
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*_test.cpp)
  file(GLOB _helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*_helpers.cpp)
  set(_unit)
  set(_cups)
  foreach(_t ${_tests})
    get_filename_component(_base ${_t} NAME_WE)
    if(_base MATCHES "cups")
      list(APPEND _cups ${_t})
    else()
      list(APPEND _unit ${_t})
    endif()
  endforeach()
  if(_unit)
    _qrp_test_executable(${layer}_tests "unit;${layer}" "${_unit};${_helpers}")
  endif()
  foreach(_t ${_cups})
    get_filename_component(_base ${_t} NAME_WE)
    _qrp_test_executable(${layer}_${_base} "printer;${layer}" "${_t};${_helpers}")
  endforeach()
endfunction()

# Uses T_QT and T_LIBS of the caller.
function(_qrp_test_executable exe labels sources)
  add_executable(${exe} ${sources})
  if(T_QT)
    target_link_libraries(${exe} PRIVATE qrp_test_main_qt)
  else()
    target_link_libraries(${exe} PRIVATE qrp_test_main)
  endif()
  target_link_libraries(${exe} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${exe} PRIVATE
    QRP_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    QRP_BINARY_DIR="${CMAKE_BINARY_DIR}"
    QRP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # The tests' own code is built for build speed; the code under test keeps
  # the build type's optimisation and the sanitizers.
  target_compile_options(${exe} PRIVATE -Og -g1)
  set(_pch <gtest/gtest.h> <gmock/gmock.h> <string> <vector> <memory> <functional>)
  if(T_QT)
    list(APPEND _pch <QApplication> <QDir> <QFile> <QImage> <QPainter> <QString> <QTemporaryDir>)
  endif()
  target_precompile_headers(${exe} PRIVATE ${_pch})
  gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300 LABELS "${labels}")
endfunction()
