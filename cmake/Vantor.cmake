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
  string(JOIN " " _line ${target} ${_floor})
  set_property(GLOBAL APPEND PROPERTY VANTOR_FLOOR_LINES "${_line}")
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

# The floors as tools/check_layers.sh reads them: one line per target, its name,
# its own folder, then every module it may include. Written once the whole
# tree has been read.
function(vantor_write_floors)
  get_property(_lines GLOBAL PROPERTY VANTOR_FLOOR_LINES)
  list(JOIN _lines "\n" _text)
  file(WRITE ${CMAKE_BINARY_DIR}/floors.txt "${_text}\n")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vantor_write_floors)

# vantor_module(NAME SOURCES files... DEPENDS targets...): a static library
# of the listed units, compiled against its floor.
function(vantor_module name)
  cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "SOURCES;DEPENDS")
  add_library(${name} STATIC ${_arg_SOURCES})
  target_link_libraries(${name} PUBLIC ${_arg_DEPENDS})
  file(RELATIVE_PATH _folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  vantor_floor(${name} ${_folder} ${_arg_DEPENDS})
endfunction()

# Every test process: what the toolkit keeps for the process is no leak,
# undefined behaviour stops the test with a stack, the thread checker skips
# the toolkit's own threads, and a child forked to start a program (which only
# execs) is not stopped by it.
set(VANTOR_SANITIZER_ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp:die_after_fork=0")
set(VANTOR_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;VANTOR_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${VANTOR_SANITIZER_ENVIRONMENT}")

# vantor_test_program(test_NAME DEPENDS targets...): the test program made of
# test_NAME.cpp in the calling folder, named <folder>_test_NAME, with its own
# QApplication.
function(vantor_test_program stem)
  cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "DEPENDS")
  file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  set(_target ${_rel}_${stem})
  add_executable(${_target} ${stem}.cpp)
  set_target_properties(${_target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${_target} PRIVATE vantor_testmain ${_arg_DEPENDS})
endfunction()

# vantor_test(test_NAME DEPENDS targets...): that program as a test, run
# offscreen.
function(vantor_test stem)
  vantor_test_program(${ARGV})
  file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  set(_target ${_rel}_${stem})
  add_test(NAME ${_target} COMMAND ${_target})
  set_tests_properties(${_target} PROPERTIES ENVIRONMENT "${VANTOR_TEST_ENVIRONMENT}" TIMEOUT 300)
endfunction()

# Hardening for optimised builds, as Debian builds its packages: checked
# buffer functions, and relocations made read-only before the program runs.
add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro,-z,now)
