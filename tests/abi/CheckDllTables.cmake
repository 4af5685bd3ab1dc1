# cmake -DOBJDUMP=... -DDLL=plugin.nbp [-DPROGRAMS=a.exe;b.exe] -P CheckDllTables.cmake
cmake_policy(SET CMP0057 NEW)
# Fails unless the plug-in exports exactly the seven host entry points by name and it and
# every listed program import nothing but system DLLs (no MinGW runtime DLLs, no zlib DLL).
set(expected_exports nbEditAction nbExecAction nbInitPlugIn nbMessage nbRegisterInterfaceAccess
    nbRegisterPlugIn nbRegisterScriptProcessor)
set(system_dlls kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll comdlg32.dll
    comctl32.dll shell32.dll ole32.dll oleaut32.dll winspool.drv uxtheme.dll imm32.dll
    version.dll ntdll.dll shlwapi.dll msimg32.dll ws2_32.dll)

function(dump file out)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump could not read ${file}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(failures "")
dump(${DLL} text)

# Export names: the lines "[   N] name" after the name pointer table's heading. Brackets
# would confuse CMake's lists, so they become angle brackets first.
string(REPLACE "[" "<" angled "${text}")
string(REPLACE "]" ">" angled "${angled}")
set(exports "")
string(FIND "${angled}" "<Ordinal/Name Pointer> Table" at)
if(at GREATER -1)
  string(SUBSTRING "${angled}" ${at} -1 table)
  string(REGEX MATCHALL "\n[ \t]*<[ 0-9]+>[ \t]+[^ \t\n]+" entries "${table}")
  foreach(entry ${entries})
    string(REGEX REPLACE "^\n[ \t]*<[ 0-9]+>[ \t]+" "" name "${entry}")
    list(APPEND exports ${name})
  endforeach()
endif()
list(SORT exports)
if(NOT exports STREQUAL expected_exports)
  string(APPEND failures "exports of ${DLL} are [${exports}], expected [${expected_exports}]\n")
endif()

foreach(file ${DLL} ${PROGRAMS})
  dump(${file} text)
  string(REGEX MATCHALL "DLL Name: [^\n]+" names "${text}")
  if(NOT names)
    string(APPEND failures "${file} imports nothing at all: objdump output not understood\n")
  endif()
  foreach(line ${names})
    string(REGEX REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST system_dlls)
      string(APPEND failures "${file} imports ${dll}, which is not a system DLL\n")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "exports: ${exports}")
