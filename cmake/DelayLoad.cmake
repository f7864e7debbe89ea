# Delay-loaded DLLs: a DLL that is not one of Windows' known DLLs must not
# be in a program's import table, where the loader looks for it beside the
# program first. A delay-import library loads it at its first call instead,
# through the engine's hook, from the system folder only.

find_program(MINGW_NM ${MINGW_TRIPLE}-nm REQUIRED)
find_program(MINGW_DLLTOOL ${MINGW_TRIPLE}-dlltool REQUIRED)

# add_delay_load_library(<target> <dll> <import library name>): an imported
# target <target> that stands for <dll>, with every function of MinGW's
# import library lib<import library name>.a, loaded on first use.
function(add_delay_load_library target dll import_name)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${import_name}.a
                  OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${import_library}")
    message(FATAL_ERROR "no import library lib${import_name}.a")
  endif()
  execute_process(COMMAND ${MINGW_NM} -g --defined-only ${import_library}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read ${import_library}")
  endif()
  # Functions are the text symbols, "_Name@bytes" in 32-bit stdcall form.
  string(REGEX MATCHALL "[0-9a-f]+ T _[A-Za-z0-9_]+@[0-9]+" functions "${symbols}")
  set(definition "LIBRARY ${dll}\nEXPORTS\n")
  foreach(line IN LISTS functions)
    string(REGEX REPLACE "^[0-9a-f]+ T _" "" name "${line}")
    string(APPEND definition "${name}\n")
  endforeach()
  set(def_file ${CMAKE_BINARY_DIR}/delay-load/${import_name}.def)
  set(library ${CMAKE_BINARY_DIR}/delay-load/lib${import_name}-delay.a)
  file(WRITE ${def_file}.new "${definition}")
  file(COPY_FILE ${def_file}.new ${def_file} ONLY_IF_DIFFERENT)
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${MINGW_DLLTOOL} --kill-at --input-def ${def_file} --dllname ${dll} --output-delaylib ${library}
    DEPENDS ${def_file}
    COMMENT "Delay-import library of ${dll}")
  add_custom_target(${target}_delaylib DEPENDS ${library})
  add_library(${target} STATIC IMPORTED GLOBAL)
  # The import library itself still gives its constants (GDI+'s format
  # GUIDs); its functions are all taken from the delay-import library first.
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${library} INTERFACE_LINK_LIBRARIES ${import_name})
  add_dependencies(${target} ${target}_delaylib)
endfunction()
