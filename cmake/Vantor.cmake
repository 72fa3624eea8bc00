# Each module compiles against a folder of its own that holds links to itself
# and to the modules it is built on (directly or through them), so including a
# higher module fails to compile. The floor of a module is kept in a global
# property for the modules above it.
function(vantor_floor target folder)
  set(_floor ${folder})
  foreach(_dep ${ARGN})
    get_property(_below GLOBAL PROPERTY VANTOR_FLOOR_${_dep})
    list(APPEND _floor ${_below})
  endforeach()
  list(REMOVE_DUPLICATES _floor)
  set_property(GLOBAL PROPERTY VANTOR_FLOOR_${target} ${_floor})
  set(_dir ${CMAKE_BINARY_DIR}/floors/${target})
  file(REMOVE_RECURSE ${_dir})
  file(MAKE_DIRECTORY ${_dir})
  foreach(_module ${_floor})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${_module} ${_dir}/${_module} SYMBOLIC)
  endforeach()
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${_dir})
  else()
    target_include_directories(${target} PRIVATE ${_dir})
  endif()
endfunction()

# vantor_module(NAME SOURCES files... DEPENDS targets...): a static library
# of the listed units, compiled against its floor.
function(vantor_module name)
  cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "SOURCES;DEPENDS")
  add_library(${name} STATIC ${_arg_SOURCES})
  target_link_libraries(${name} PUBLIC ${_arg_DEPENDS})
  file(RELATIVE_PATH _folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  vantor_floor(${name} ${_folder} ${_arg_DEPENDS})
endfunction()

set(VANTOR_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;VANTOR_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# vantor_test(test_NAME DEPENDS targets...): the test program made of
# test_NAME.cpp in the calling folder, named <folder>_test_NAME. It runs
# offscreen with its own QApplication.
function(vantor_test stem)
  cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "DEPENDS")
  file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  set(_target ${_rel}_${stem})
  add_executable(${_target} ${stem}.cpp)
  set_target_properties(${_target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${_target} PRIVATE vantor_testmain ${_arg_DEPENDS})
  add_test(NAME ${_target} COMMAND ${_target})
  set_tests_properties(${_target} PROPERTIES ENVIRONMENT "${VANTOR_TEST_ENVIRONMENT}" TIMEOUT 300)
endfunction()

# Hardening for optimised builds, as Debian builds its packages: checked
# buffer functions, and relocations made read-only before the program runs.
add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro,-z,now)
