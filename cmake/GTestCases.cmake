# Runs inside CTest, not at configure time: registers every GoogleTest case of one test
# program as a CTest test of its own, named PROGRAM.Suite.Case, so that a failing case is
# named in CTest's output and runs alone with `ctest -R`.
#
# The include file that ss_test writes for each program sets, before including this file:
#   SS_GTEST_NAME      the program's target name (prefix of every case name)
#   SS_GTEST_EXE       the program's path
#   SS_GTEST_EMULATOR  the cross-compiling emulator (Wine on the Windows build), or empty
#   SS_GTEST_ARGS      extra arguments for every run
#   SS_GTEST_ENV       the ENVIRONMENT property of every case
#   SS_GTEST_TIMEOUT   the time limit of one case, and of the listing
#   SS_GTEST_DIR       the working directory
#   SS_GTEST_CACHE     where the list of cases of the current program is kept
#
# The cases are listed by running the program with --gtest_list_tests once per build of it
# (the list is kept beside it and made again when the program is newer). When the program
# cannot be listed (not built, or an emulator that cannot start it), the program is
# registered as one test under its own name instead: that test runs it whole and fails with
# its own output, and every other test of the run still runs. A listing failure never stops
# CTest, which is what CMake's own discovery does.
#
# With SS_GTEST_WHOLE_PROGRAMS=1 in CTest's environment every program is one test, run whole,
# without listing: under an emulator that takes seconds to start each process (32-bit Wine
# through qemu-user, scripts/wine32.sh) one start per case would cost many times the tests
# themselves. A failing case is then named in the program's output, not in CTest's list.

function(ss_gtest_register test)
  add_test(${test} ${SS_GTEST_EMULATOR} ${SS_GTEST_EXE} ${ARGN} ${SS_GTEST_ARGS})
  # The cases of one program share its scratch files: they never run at the same time as
  # each other (other programs' cases still run beside them with ctest -j).
  set_tests_properties(${test} PROPERTIES TIMEOUT ${SS_GTEST_TIMEOUT}
    WORKING_DIRECTORY "${SS_GTEST_DIR}" RESOURCE_LOCK ${SS_GTEST_NAME}
    ENVIRONMENT "${SS_GTEST_ENV}")
endfunction()

function(ss_gtest_list out)
  set(${out} "" PARENT_SCOPE)
  if(NOT EXISTS "${SS_GTEST_EXE}")
    return()
  endif()
  if(EXISTS "${SS_GTEST_CACHE}" AND "${SS_GTEST_CACHE}" IS_NEWER_THAN "${SS_GTEST_EXE}")
    include("${SS_GTEST_CACHE}")
    set(${out} "${SS_GTEST_CASES}" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND ${SS_GTEST_EMULATOR} ${SS_GTEST_EXE} --gtest_list_tests
    WORKING_DIRECTORY "${SS_GTEST_DIR}" TIMEOUT ${SS_GTEST_TIMEOUT}
    RESULT_VARIABLE rc OUTPUT_VARIABLE listing ERROR_QUIET)
  if(NOT rc STREQUAL "0")
    return()
  endif()
  # Suite lines start in column 0 and end in a dot (typed suites add "  # TypeParam = ..."),
  # case lines are indented by two (parameterised ones add "  # GetParam() = ..."). Anything
  # else (gtest_main's "Running main() from ...") is no part of the list.
  string(REPLACE ";" "" listing "${listing}")
  string(REPLACE "\r" "" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(cases "")
  set(suite "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z0-9_/]+)\\.( +#.*)?$")
      set(suite ${CMAKE_MATCH_1})
    elseif(suite AND line MATCHES "^  ([A-Za-z0-9_/]+)( +#.*)?$")
      list(APPEND cases "${suite}.${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(NOT cases)
    return()
  endif()
  file(WRITE "${SS_GTEST_CACHE}" "set(SS_GTEST_CASES \"${cases}\")\n")
  set(${out} "${cases}" PARENT_SCOPE)
endfunction()

set(ss_cases "")
if(NOT "$ENV{SS_GTEST_WHOLE_PROGRAMS}" STREQUAL "1")
  ss_gtest_list(ss_cases)
elseif(SS_GTEST_TIMEOUT GREATER 300)
  # A whole program takes at most a few minutes under the emulator (the slowest, store_tests,
  # about 100 s); a hung case must not hold the run for the per-case limit of 15 minutes.
  set(SS_GTEST_TIMEOUT 300)
endif()
if(ss_cases)
  foreach(ss_case IN LISTS ss_cases)
    ss_gtest_register("${SS_GTEST_NAME}.${ss_case}" "--gtest_filter=${ss_case}")
    if(ss_case MATCHES "(^|\\.|/)DISABLED_")
      set_tests_properties("${SS_GTEST_NAME}.${ss_case}" PROPERTIES DISABLED TRUE)
    endif()
  endforeach()
else()
  ss_gtest_register(${SS_GTEST_NAME})
endif()
