# Reads cmake/layers.txt, the table of which unit may use which, and declares the layers
# against it. After this file:
#   SS_LAYERS                 the layer names in table order (bottom up)
#   ss_layer(NAME ...)        one static library per layer, linking only what its row allows
#   ss_link(UNIT TARGET ...)  target_link_libraries for a tool or test, checked the same way
# A use that the table does not allow stops the configuration with the file, the unit and
# the rule, so that a layer cannot link what it may not include.

set(SS_LAYER_TABLE ${PROJECT_SOURCE_DIR}/cmake/layers.txt)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${SS_LAYER_TABLE})

set(SS_LAYERS "")
file(STRINGS ${SS_LAYER_TABLE} ss_table_lines)
foreach(line IN LISTS ss_table_lines)
  string(REGEX REPLACE "#.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(POP_FRONT fields unit)
  get_property(seen GLOBAL PROPERTY SS_USES:${unit} SET)
  if(seen)
    message(FATAL_ERROR "${SS_LAYER_TABLE}: unit ${unit} has two rows")
  endif()
  set_property(GLOBAL PROPERTY SS_USES:${unit} "${fields}")
  if(NOT unit MATCHES "/")
    list(APPEND SS_LAYERS ${unit})
  endif()
endforeach()
unset(ss_table_lines)

# ss_allowed_uses(UNIT OUT): the row of UNIT. A test folder named after a layer and without a
# row of its own may use that layer and the layer's row.
function(ss_allowed_uses unit out)
  get_property(has GLOBAL PROPERTY SS_USES:${unit} SET)
  if(has)
    get_property(uses GLOBAL PROPERTY SS_USES:${unit})
  elseif(unit MATCHES "^tests/([^/]+)$" AND CMAKE_MATCH_1 IN_LIST SS_LAYERS)
    set(layer ${CMAKE_MATCH_1})
    get_property(uses GLOBAL PROPERTY SS_USES:${layer})
    list(PREPEND uses ${layer})
  else()
    message(FATAL_ERROR "${unit} has no row in ${SS_LAYER_TABLE}: add one before it links a layer")
  endif()
  set(${out} "${uses}" PARENT_SCOPE)
endfunction()

# ss_link(UNIT TARGET PUBLIC|PRIVATE|INTERFACE libs...): links libs to TARGET after checking
# that every library of the project among them (a target with the SS_UNIT property) belongs
# to a unit that UNIT may use. Libraries from outside (zlib, GoogleTest...) pass unchecked.
function(ss_check_links unit)
  ss_allowed_uses(${unit} allowed)
  foreach(lib IN LISTS ARGN)
    if(TARGET ${lib})
      get_target_property(owner ${lib} SS_UNIT)
      if(owner AND NOT owner STREQUAL unit AND NOT owner IN_LIST allowed)
        message(FATAL_ERROR "${unit} may not link ${lib} (unit ${owner}): "
                            "its row in ${SS_LAYER_TABLE} allows only: ${allowed}")
      endif()
    endif()
  endforeach()
endfunction()

function(ss_link unit target scope)
  ss_check_links(${unit} ${ARGN})
  target_link_libraries(${target} ${scope} ${ARGN})
endfunction()

# ss_layer(NAME SOURCES files... [USES layers...] [LIBS outside libraries...])
# One static library ss_NAME per layer folder. Its public include root is src/, so code writes
# #include "workbook/TSSDataStorage.h"; which of those includes are allowed is the include
# check's business, which links are allowed is checked here. Every USES entry must be in the
# layer's row and already declared (layers are added bottom up).
function(ss_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;USES;LIBS" ${ARGN})
  if(L_UNPARSED_ARGUMENTS)
    # DEPS of the former helper included: links to layers go through USES and the table.
    message(FATAL_ERROR "ss_layer(${name}): unknown arguments ${L_UNPARSED_ARGUMENTS}; "
                        "name layers with USES and outside libraries with LIBS")
  endif()
  if(NOT name IN_LIST SS_LAYERS)
    message(FATAL_ERROR "layer ${name} has no row in ${SS_LAYER_TABLE}")
  endif()
  if(NOT L_SOURCES)
    message(FATAL_ERROR "layer ${name} lists no sources")
  endif()
  ss_allowed_uses(${name} allowed)
  set(libs "")
  foreach(use IN LISTS L_USES)
    if(NOT use IN_LIST allowed)
      message(FATAL_ERROR "layer ${name} may not use ${use}: "
                          "its row in ${SS_LAYER_TABLE} allows only: ${allowed}")
    endif()
    if(NOT TARGET ss_${use})
      message(FATAL_ERROR "layer ${name} uses ${use}, which is not declared before it")
    endif()
    list(APPEND libs ss_${use})
  endforeach()
  ss_check_links(${name} ${L_LIBS})
  add_library(ss_${name} STATIC ${L_SOURCES})
  set_target_properties(ss_${name} PROPERTIES SS_UNIT ${name})
  target_include_directories(ss_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(ss_${name} PRIVATE ${SS_WARNINGS})
  target_link_libraries(ss_${name} PUBLIC ${libs} ${L_LIBS})
endfunction()
