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

# vantor_module(NAME DEPS...): a static library made of every source in the
# calling folder, so adding a unit needs no edit here.
function(vantor_module name)
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER _sources INCLUDE REGEX "\\.(cpp|qrc)$")
  if(_sources)
    file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${name} STATIC ${_all})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A module with no units yet still links.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
  file(RELATIVE_PATH _folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  vantor_floor(${name} ${_folder} ${ARGN})
endfunction()

# vantor_tests(DEPS...): one test program per test_*.cpp in the calling folder.
# Each runs offscreen with its own QApplication.
function(vantor_tests)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(_src ${_tests})
    get_filename_component(_stem ${_src} NAME_WE)
    set(_target ${_rel}_${_stem})
    add_executable(${_target} ${_src})
    set_target_properties(${_target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${_target} PRIVATE vantor_testmain ${ARGN})
    add_test(NAME ${_target} COMMAND ${_target})
    set_tests_properties(${_target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTOR_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      TIMEOUT 300)
  endforeach()
endfunction()
