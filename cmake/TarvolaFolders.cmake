# Each folder lists its sources in its own CMakeLists.txt, split by what they may include:
#   PORTABLE  plain C++; built natively (under the sanitizers) and for Windows. In the Windows builds the
#             include path of these sources starts with cmake/portable-guard, whose Windows headers are
#             errors, so a portable source that reaches <windows.h> (or a header of the Win32 layer)
#             fails to compile on every build, not only natively.
#   WIN32     may call the platform; built for Windows only.

# Appends the calling folder's PORTABLE and WIN32 lists, as full paths, to the global properties
# <property>_PORTABLE and <property>_WIN32.
macro(tarvola_collect property)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WIN32" ${ARGN})
  list(TRANSFORM ARG_PORTABLE PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
  list(TRANSFORM ARG_WIN32 PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
  set_property(GLOBAL APPEND PROPERTY ${property}_PORTABLE ${ARG_PORTABLE})
  set_property(GLOBAL APPEND PROPERTY ${property}_WIN32 ${ARG_WIN32})
endmacro()

# In app/, audio/, kernel/ ...: the program's library sources.
function(tarvola_sources)
  tarvola_collect(TARVOLA_SOURCES ${ARGN})
endfunction()

# In tests/support: helpers shared by every test executable.
function(tarvola_test_support)
  tarvola_collect(TARVOLA_TEST_SUPPORT ${ARGN})
endfunction()

# In tests/<folder>: one test executable per folder (each Wine process costs about a second), holding the
# folder's portable tests natively and all of its tests in the Windows builds.
function(tarvola_tests)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WIN32" ${ARGN})
  set(sources ${ARG_PORTABLE})
  if(TARVOLA_WINDOWS)
    list(APPEND sources ${ARG_WIN32})
  endif()
  if(NOT sources)
    return()
  endif()
  file(RELATIVE_PATH folder "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(REPLACE "/" "_" name "test_${folder}")
  add_executable(${name} ${sources})
  tarvola_own_flags(${name})
  tarvola_guard_portable("${ARG_PORTABLE}")
  target_link_libraries(${name} PRIVATE tarvola_testsupport)
  if(TARVOLA_WINDOWS)
    target_link_libraries(${name} PRIVATE tarvola_resources)
  endif()
  set(work_dir "${CMAKE_BINARY_DIR}/testwork/${name}")
  file(MAKE_DIRECTORY "${work_dir}")
  if(TARVOLA_WINDOWS)
    add_test(NAME ${name} COMMAND ${TARVOLA_WINE} $<TARGET_FILE:${name}> --gtest_brief=1
             WORKING_DIRECTORY "${work_dir}")
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY "${work_dir}")
  endif()
endfunction()

function(tarvola_own_flags target)
  target_compile_options(${target} PRIVATE ${TARVOLA_WARNINGS})
  target_compile_definitions(${target} PUBLIC ${TARVOLA_DEFINES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Puts the guard headers first on the include path of the given portable sources (Windows builds only;
# natively there are no Windows headers to reach).
function(tarvola_guard_portable sources)
  if(TARVOLA_WINDOWS AND sources)
    set_property(SOURCE ${sources} APPEND PROPERTY COMPILE_OPTIONS "-I${CMAKE_SOURCE_DIR}/cmake/portable-guard")
  endif()
endfunction()
