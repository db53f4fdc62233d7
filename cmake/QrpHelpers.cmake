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

# One test executable per tests/<layer>/*_test.cpp file, linked to LIBS.
# QT selects the main that starts a QApplication on the offscreen platform.
# Labels: "unit" and the layer; tests that talk to a CUPS server (*cups*)
# get "printer" instead of "unit", so that a package build can leave them
# out (ctest -L unit). QRP_TEST_LAYERS, when set, limits the build to the
# layers it lists.
function(qrp_layer_tests layer)
  cmake_parse_arguments(T "QT" "" "LIBS" ${ARGN})
  if(QRP_TEST_LAYERS AND NOT layer IN_LIST QRP_TEST_LAYERS)
    return()
  endif()
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*_test.cpp)
  file(GLOB _helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*_helpers.cpp)
  foreach(_t ${_tests})
    get_filename_component(_base ${_t} NAME_WE)
    set(_exe ${layer}_${_base})
    add_executable(${_exe} ${_t} ${_helpers})
    if(T_QT)
      target_link_libraries(${_exe} PRIVATE qrp_test_main_qt)
    else()
      target_link_libraries(${_exe} PRIVATE qrp_test_main)
    endif()
    target_link_libraries(${_exe} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${_exe} PRIVATE
      QRP_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
      QRP_BINARY_DIR="${CMAKE_BINARY_DIR}"
      QRP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set(_labels unit ${layer})
    if(_base MATCHES "cups")
      set(_labels printer ${layer})
    endif()
    gtest_discover_tests(${_exe} DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300 LABELS "${_labels}")
  endforeach()
endfunction()
