# libFuzzer targets of the window-free logic (configure preset "fuzz": clang,
# NIMBO_FUZZ=ON, AddressSanitizer and UndefinedBehaviorSanitizer).
#
#   add_fuzzer(<name> SOURCES <files...> LIBRARIES <libraries...> [DICTIONARY <file>])
#
# Builds <name>_fuzzer and the test fuzz_<name>, which runs it for
# NIMBO_FUZZ_SECONDS from the committed seeds in corpus/<name>/ beside the
# calling CMakeLists.txt. What it learns goes to a working corpus in the
# build tree, so that later runs start from there. A finding (a crash, a
# sanitizer report, a leak, a hang) fails the test and leaves its input in
# <build>/fuzz-findings/.
set(NIMBO_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz test runs")

function(add_fuzzer name)
  cmake_parse_arguments(ARG "" "DICTIONARY" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name}_fuzzer ${ARG_SOURCES})
  target_link_libraries(${name}_fuzzer PRIVATE ${ARG_LIBRARIES})
  # A fuzz target is test code: it sees the whole tree, internals included.
  target_include_directories(${name}_fuzzer PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
  set(options)
  if(ARG_DICTIONARY)
    set(options -dict=${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DICTIONARY})
  endif()
  add_test(NAME fuzz_${name}
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/run-fuzzer $<TARGET_FILE:${name}_fuzzer> ${NIMBO_FUZZ_SECONDS}
            ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name} ${CMAKE_BINARY_DIR} ${options})
  # libFuzzer stops itself at the time given; this only catches a stuck run.
  math(EXPR limit "${NIMBO_FUZZ_SECONDS} + 300")
  set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT ${limit})
endfunction()

# The committed seeds are what the generator writes.
add_test(NAME fuzz_corpus_matches_generator
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/make-fuzz-corpus.py --check)
