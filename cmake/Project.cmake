# Shared build settings: warnings, the static runtime of the Windows build, and the helpers
# that declare one library per layer (cmake/Layers.cmake) and one test binary per layer.

if(MSVC)
  set(SS_WARNINGS /W4)
else()
  set(SS_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
endif()
# GCC 12 reports std::string copies of short literals as overlapping memcpy at -O3
# (a false positive of -Wrestrict in its own headers); later versions do not.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND SS_WARNINGS -Wno-restrict)
endif()
if(SS_WARNINGS_AS_ERRORS AND NOT MSVC)
  list(APPEND SS_WARNINGS -Werror)
endif()

# Both builds compute every double the same way: IEEE double arithmetic in SSE2 registers
# (the 32-bit default, the x87 unit, keeps 80-bit intermediates whose rounding depends on
# register spills), and no fused multiply-add, which would round a*b+c once instead of twice.
# The 32-bit build realigns the stack where SSE2 code needs it, since the host calls in with
# 4-byte alignment.
if(NOT MSVC)
  add_compile_options(-ffp-contract=off)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
    add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
  endif()
endif()

if(WIN32)
  # The DLL and every program must run alone: no MinGW runtime DLLs beside them.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE _UNICODE)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# ss_gtest_cases(TARGET [TIMEOUT seconds] [ARGS args...] [ENVIRONMENT VAR=value...])
# Registers every GoogleTest case of TARGET as a CTest test of its own (TARGET.Suite.Case),
# listed when CTest starts (cmake/GTestCases.cmake). On the Windows build the cases run
# through the cross-compiling emulator (Wine). Each case has the time limit, so that a hung
# test (a modal dialog nobody answers, a deadlock) fails instead of stalling the run.
function(ss_gtest_cases target)
  cmake_parse_arguments(G "" "TIMEOUT" "ARGS;ENVIRONMENT" ${ARGN})
  if(NOT G_TIMEOUT)
    set(G_TIMEOUT 900)
  endif()
  get_target_property(emulator ${target} CROSSCOMPILING_EMULATOR)
  if(NOT emulator)
    set(emulator "")
  endif()
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_cases_include.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
"set(SS_GTEST_NAME [==[${target}]==])
set(SS_GTEST_EXE [==[$<TARGET_FILE:${target}>]==])
set(SS_GTEST_EMULATOR [==[${emulator}]==])
set(SS_GTEST_ARGS [==[${G_ARGS}]==])
set(SS_GTEST_ENV [==[${G_ENVIRONMENT}]==])
set(SS_GTEST_TIMEOUT ${G_TIMEOUT})
set(SS_GTEST_DIR [==[${CMAKE_CURRENT_BINARY_DIR}]==])
set(SS_GTEST_CACHE [==[${CMAKE_CURRENT_BINARY_DIR}/${target}_cases.cmake]==])
include([==[${PROJECT_SOURCE_DIR}/cmake/GTestCases.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# ss_test(NAME SOURCES... [DEPS libs...] [ENV VAR=value...]): one GoogleTest binary of the test folder it is
# declared in; its links are checked against that folder's row of cmake/layers.txt, and every
# case is a CTest test of its own.
function(ss_test name)
  cmake_parse_arguments(T "" "" "SOURCES;DEPS;ENV" ${ARGN})
  file(RELATIVE_PATH unit ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  add_executable(${name} ${T_SOURCES})
  if(WIN32)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/QuietDebugStrings.cpp)
  endif()
  target_compile_options(${name} PRIVATE ${SS_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  # Where the tests find the tree when SS_SOURCE_DIR is not set (when CTest lists the cases).
  target_compile_definitions(${name} PRIVATE SS_SOURCE_DIR_DEFAULT="${PROJECT_SOURCE_DIR}")
  ss_link(${unit} ${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main)
  ss_gtest_cases(${name} TIMEOUT 900 ARGS --gtest_brief=1
    ENVIRONMENT "SS_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;SS_SOURCE_DIR=${PROJECT_SOURCE_DIR};${T_ENV}")
endfunction()

# ss_fuzz_entry(TARGET fuzz/SOURCE.cpp NAME): builds a libFuzzer entry point into a test program
# under the name NAME, so that the test replays the fuzzer's seed corpus through the fuzzer's
# own code in the ordinary run (the fuzzers themselves need clang and are built apart).
function(ss_fuzz_entry target source name)
  set(path ${PROJECT_SOURCE_DIR}/${source})
  target_sources(${target} PRIVATE ${path})
  set_source_files_properties(${path} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES
    COMPILE_DEFINITIONS "LLVMFuzzerTestOneInput=${name};SS_FUZZ_ENTRY_IN_TEST")
endfunction()
