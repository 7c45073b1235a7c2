# SPDX-License-Identifier: GPL-3.0-or-later
# Test programs and the environment every test runs in.
#
# tessel_test_program(<name> SOURCES <files...> [LIBRARIES <targets...>] [WINDOW])
#   The test program <name>_tests from the listed files of the calling folder, linked with
#   GoogleTest's main, the shared test helpers (tests/support) and LIBRARIES. Its tests are
#   registered with CTest, labelled with the folder's name (tests/<folder>), and run with
#   TESSEL_CONFIG_HOME in the build tree and without a display (DISPLAY and WAYLAND_DISPLAY
#   cleared): no test reads or writes the user's configuration or opens a window on the
#   user's desktop. WINDOW marks a program whose tests open windows on the X server that
#   TESSEL_TEST_DISPLAY names (the Xvfb scripts/test.sh starts; without one they skip):
#   they run one at a time, since they share the server's pointer and keyboard.

function(tessel_test_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WINDOW" "" "SOURCES;LIBRARIES")
  set(target ${name}_tests)
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} tessel_test_support
                                          GTest::gtest_main)
  tessel_test_executable(${target})
  get_filename_component(label ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(properties LABELS ${label} ENVIRONMENT
      "TESSEL_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-config;DISPLAY=;WAYLAND_DISPLAY=")
  if(arg_WINDOW)
    list(APPEND properties RESOURCE_LOCK x_server TIMEOUT 120)
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
