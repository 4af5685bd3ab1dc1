# cmake -DEMULATOR=wine -DHOST=nbhost.exe -DPLUGIN=zkSpreadSheet2.nbp -DEXPECTED=catalogue.tsv
#       -P CheckCatalogue.cmake
# The Windows nbhost loading the Windows DLL must print the catalogue exactly as expected:
# one line per announcement, fields separated by single tabs. Console output of a Windows
# program ends lines with CR LF; that line end is accepted, nothing else differs.
execute_process(COMMAND ${EMULATOR} ${HOST} --plugin ${PLUGIN} --catalogue
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nbhost --catalogue failed (${rc}): ${errors}")
endif()
string(REPLACE "\r\n" "\n" actual "${actual}")
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/catalogue.actual "${actual}")
  message(FATAL_ERROR "nbhost --catalogue differs from ${EXPECTED}; "
          "output kept in ${CMAKE_CURRENT_BINARY_DIR}/catalogue.actual")
endif()
string(REGEX MATCHALL "\n" lines "${actual}")
list(LENGTH lines count)
message(STATUS "catalogue: ${count} lines as expected")
