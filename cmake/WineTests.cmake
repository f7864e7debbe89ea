# Runs the target's test programs under Wine, in the project's own prefix and
# on a virtual display that the test run starts and stops itself.

set(HARNESS_DIR ${CMAKE_SOURCE_DIR}/harness)

# ctest starts every target executable through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${HARNESS_DIR}/wine-run;${CMAKE_BINARY_DIR})

# The prefix is a build step of its own (about 10 s, once): made on the side
# of a test it would be left half made by a timeout.
set(WINE_PREFIX_STAMP ${CMAKE_BINARY_DIR}/wine/prefix.stamp)
add_custom_command(
  OUTPUT ${WINE_PREFIX_STAMP}
  COMMAND ${HARNESS_DIR}/make-prefix ${CMAKE_BINARY_DIR}
  DEPENDS ${HARNESS_DIR}/make-prefix
  COMMENT "Creating the Wine prefix"
  USES_TERMINAL)
add_custom_target(wineprefix ALL DEPENDS ${WINE_PREFIX_STAMP})

# Started with the session: keeps its desktop process from ending between
# programs (see the source).
add_executable(hold_desktop ${HARNESS_DIR}/HoldDesktop.cpp)
target_link_options(hold_desktop PRIVATE -municode -mwindows)
set_target_properties(hold_desktop PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wine)

if(BUILD_TESTING)
  # One Wine session (Xvfb display, wineserver, Wine's services) for the
  # whole test run, started with its output detached from ctest's pipes.
  add_test(NAME wine_session_start COMMAND ${HARNESS_DIR}/session start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_session_stop COMMAND ${HARNESS_DIR}/session stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 120)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
endif()

# add_wine_test(<target> [RESOURCE_LOCK <names...>] [TIMEOUT <seconds>])
function(add_wine_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "RESOURCE_LOCK" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT ${ARG_TIMEOUT})
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()
