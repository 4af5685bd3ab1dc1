# The sstool command line as users meet it: exit codes, one-line errors, the JSON dump, and
# convert and set round trips. Run by CTest as
#   cmake -DSSTOOL=<sstool> -DWORK=<scratch folder> -DDATA=<tests/data> [-DEMULATOR=<wine>]
#         -P SstoolCli.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(sstool expected_rc)
  execute_process(COMMAND ${EMULATOR} "${SSTOOL}" ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "sstool ${ARGN}: exit ${rc}, expected ${expected_rc}\nstdout: ${out}\nstderr: ${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in haystack needle what)
  string(FIND "${haystack}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: '${needle}' not found in:\n${haystack}")
  endif()
endfunction()

function(expect_one_line text what)
  string(REGEX MATCHALL "\n" breaks "${text}")
  list(LENGTH breaks n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "${what}: expected one line, got:\n${text}")
  endif()
endfunction()

# Usage errors; --help and -h answer with the usage on stdout.
sstool(2)
sstool(2 frobnicate)
sstool(2 dump)
foreach(help --help -h)
  sstool(0 ${help})
  expect_in("${out}" "usage: sstool dump FILE [--json]" "${help}")
  sstool(0 dump x.xls ${help})
  expect_in("${out}" "usage: sstool" "${help} after a command")
endforeach()
sstool(2 dump "${WORK}/missing.xls" --jsn)
expect_in("${err}" "sstool: unknown option --jsn\nusage: sstool" "unknown option")
sstool(2 convert -x a.xls b.xls)
expect_in("${err}" "unknown option -x" "unknown short option")

# Unreadable and bad files: one line on stderr, exit 1.
sstool(1 dump "${WORK}/missing.xls")
expect_one_line("${err}" "missing file")
expect_in("${err}" "sstool: cannot open ${WORK}/missing.xls: No such file or directory" "missing file")
sstool(1 dump "${WORK}")
expect_in("${err}" "cannot open ${WORK}: Is a directory" "a folder")
file(WRITE "${WORK}/bad.xls" "this is not a workbook at all")
sstool(1 dump "${WORK}/bad.xls" --json)
expect_one_line("${err}" "bad file")
expect_in("${err}" "Invalid stream format" "bad file")
sstool(1 convert "${WORK}/bad.xls" "${WORK}/out.xls")
if(EXISTS "${WORK}/out.xls")
  message(FATAL_ERROR "a failed convert left an output file")
endif()

set(seed "${DATA}/xls/book/xlwt_seed.xls")  # written by xlwt: two sheets, the second hidden

# dump --json: the shape, exact numbers in their shortest form, visibility, merged areas, widths.
sstool(0 dump "${seed}" --json)
set(json "${out}")
expect_in("${json}" "{\"sheets\":[{\"name\":\"Data\",\"visible\":true,\"cells\":[" "json head")
expect_in("${json}" "{\"ref\":\"B2\",\"col\":1,\"row\":1,\"kind\":\"number\",\"edit\":\"0.1\"" "number cell")
expect_in("${json}" "\"result\":{\"type\":\"number\",\"value\":0.1}" "shortest round trip")
expect_in("${json}" "\"edit\":\"café\"" "UTF-8 text")
# The writer's own index for the general format reads as general.
expect_in("${json}" "\"edit\":\"2.5\",\"display\":\"2.5\"" "general format")
expect_in("${json}" "\"merged\":[\"A4:B5\"]" "merged")
expect_in("${json}" "\"colWidths\":{\"2\":140}" "column width")
expect_in("${json}" "{\"name\":\"Hidden\",\"visible\":false" "hidden sheet")
expect_in("${json}" "\"names\":[]}" "names")
sstool(0 dump "${seed}")
expect_in("${out}" "Sheet Hidden (hidden)" "text dump")

# convert keeps the content; set enters texts as typed and saves.
sstool(0 convert "${seed}" "${WORK}/converted.xls")
sstool(0 dump "${WORK}/converted.xls" --json)
string(REGEX REPLACE "\"font\":{[^}]*}" "" a "${json}")
string(REGEX REPLACE "\"font\":{[^}]*}" "" b "${out}")
if(NOT a STREQUAL b)
  message(FATAL_ERROR "convert changed the content:\n${a}\n---\n${b}")
endif()
sstool(0 set "${WORK}/converted.xls" "${WORK}/set.xls" "C1=42" "Hidden!B2=hello there" "D1=00123")
sstool(0 dump "${WORK}/set.xls" --json)
expect_in("${out}" "{\"ref\":\"C1\",\"col\":2,\"row\":0,\"kind\":\"number\",\"edit\":\"42\"" "set number")
expect_in("${out}" "\"edit\":\"hello there\"" "set on a named sheet")
expect_in("${out}" "\"ref\":\"D1\"" "set leading zeros")
sstool(1 set "${WORK}/converted.xls" "${WORK}/x.xls" "NoSheet!A1=1")
expect_one_line("${err}" "unknown sheet")
sstool(1 set "${WORK}/converted.xls" "${WORK}/x.xls" "A1")
expect_one_line("${err}" "missing =")

# A file whose formulas use functions the engine does not know loads with its other cells;
# one warning on stderr names the count and the cells; the exit code stays 0.
set(unknown "${DATA}/xls/book/xlwt_unknown_functions.xls")
sstool(0 dump "${unknown}" --json)
expect_one_line("${err}" "unknown functions warning")
expect_in("${err}" "sstool: warning: 3 formulas use functions this program does not know and keep the values stored in the file: Data!C1, Data!C2, Data!C3" "unknown functions warning")
expect_in("${out}" "{\"ref\":\"B2\",\"col\":1,\"row\":1,\"kind\":\"text\",\"edit\":\"b\"" "other cells")
expect_in("${out}" "\"edit\":\"=SUM(A1:A3)\",\"display\":\"60\",\"result\":{\"type\":\"number\",\"value\":60}" "known formula")
sstool(0 convert "${unknown}" "${WORK}/unknown-saved.xls")
sstool(0 dump "${WORK}/unknown-saved.xls")
if(NOT err STREQUAL "")
  message(FATAL_ERROR "the saved copy still warns: ${err}")
endif()
