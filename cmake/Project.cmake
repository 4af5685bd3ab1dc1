# Shared build settings: warnings, the static runtime of the Windows build, and the helpers
# that declare one library per layer and one test binary per layer.

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

# ss_layer(NAME SOURCES... [DEPS libs...])
# One static library per layer folder; its public include root is src/, so code writes
# #include "workbook/TSSDataStorage.h".
function(ss_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPS" ${ARGN})
  add_library(ss_${name} STATIC ${L_SOURCES})
  target_include_directories(ss_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(ss_${name} PRIVATE ${SS_WARNINGS})
  if(L_DEPS)
    target_link_libraries(ss_${name} PUBLIC ${L_DEPS})
  endif()
endfunction()

# ss_test(NAME SOURCES... [DEPS libs...]) — one GoogleTest binary, registered as one CTest case.
# On the Windows build CTest runs it through the cross-compiling emulator (Wine).
function(ss_test name)
  cmake_parse_arguments(T "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE ${SS_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A hung test (a modal dialog nobody answers, a deadlock) fails instead of stalling the run.
  set_tests_properties(${name} PROPERTIES TIMEOUT 900
    ENVIRONMENT "SS_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;SS_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
