# cmake -DFOLDER=path -P EmptyFolder.cmake: leaves FOLDER existing and empty.
if(NOT FOLDER)
  message(FATAL_ERROR "EmptyFolder: FOLDER is not set")
endif()
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
