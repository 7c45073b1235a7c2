# Test programs and the environment every test runs in.
#
# tessel_discover_tests(<target> <label> [WINDOW])
#   Registers the GoogleTest cases of <target> with CTest, labelled <label>. Every test runs
#   with TESSEL_CONFIG_HOME in the build tree, so no test reads or writes the user's
#   configuration. Tests without WINDOW also run without a display (DISPLAY and
#   WAYLAND_DISPLAY cleared), so none can open a window on the user's desktop; WINDOW tests
#   keep the DISPLAY they are run with (the Xvfb the test script starts for them) and skip
#   when no X server answers.
#
# tessel_test_program(<folder> SOURCES <files...> [LIBRARIES <targets...>] [WINDOW])
#   The test program <folder>_tests from the listed files of tests/<folder>, linked with
#   GoogleTest's main, the shared test helpers and LIBRARIES, its tests registered by
#   tessel_discover_tests under the label <folder>.

function(tessel_discover_tests target label)
  cmake_parse_arguments(PARSE_ARGV 2 arg "WINDOW" "" "")
  set(environment "TESSEL_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-config")
  if(NOT arg_WINDOW)
    list(APPEND environment "DISPLAY=" "WAYLAND_DISPLAY=")
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} ENVIRONMENT "${environment}")
endfunction()

function(tessel_test_program folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WINDOW" "" "SOURCES;LIBRARIES")
  add_executable(${folder}_tests ${arg_SOURCES})
  target_link_libraries(${folder}_tests PRIVATE ${arg_LIBRARIES} tessel_test_support
                                                GTest::gtest_main)
  if(arg_WINDOW)
    tessel_discover_tests(${folder}_tests ${folder} WINDOW)
  else()
    tessel_discover_tests(${folder}_tests ${folder})
  endif()
endfunction()
