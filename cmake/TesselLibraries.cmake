# SPDX-License-Identifier: GPL-3.0-or-later
# The project's libraries and the check that keeps their graph one-way.
#
# tessel_library(<name> SOURCES <files...> [DEPENDS <targets...>])
#   A static library from the listed sources and headers of the calling folder. Includes
#   are written from the project's root ("engine/Drell.h"); DEPENDS are linked publicly.
#
# tessel_layer(<target> SOURCES <files...> [DEPENDS <targets...>])
#   Registers a target made otherwise (the plug-in itself) for the same check.
#
# tessel_check_layers()
#   Called once at the end of the top-level CMakeLists.txt: every quoted #include of a
#   registered target's files must name one of its own headers or a header of a library it
#   depends on, directly or through others. An include that reaches up or sideways stops the
#   configuration with a message naming the file.

function(tessel_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;DEPENDS")
  set(files "")
  set(headers "")
  foreach(source IN LISTS arg_SOURCES)
    file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${source})
    list(APPEND files ${path})
    if(path MATCHES "\\.h$")
      list(APPEND headers ${path})
    endif()
  endforeach()
  set_property(TARGET ${target} PROPERTY TESSEL_FILES ${files})
  set_property(TARGET ${target} PROPERTY TESSEL_HEADERS ${headers})
  set_property(TARGET ${target} PROPERTY TESSEL_DEPENDS ${arg_DEPENDS})
  set_property(GLOBAL APPEND PROPERTY TESSEL_LAYERS ${target})
endfunction()

function(tessel_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;DEPENDS")
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_DEPENDS})
  tessel_layer(${name} SOURCES ${arg_SOURCES} DEPENDS ${arg_DEPENDS})
endfunction()

function(tessel_check_layers)
  get_property(layers GLOBAL PROPERTY TESSEL_LAYERS)
  foreach(target IN LISTS layers)
    # The headers this target may include: its own and those of every library below it.
    set(allowed "")
    set(seen "")
    set(pending ${target})
    while(pending)
      list(POP_FRONT pending current)
      if(current IN_LIST seen OR NOT current IN_LIST layers)
        continue()
      endif()
      list(APPEND seen ${current})
      get_property(headers TARGET ${current} PROPERTY TESSEL_HEADERS)
      get_property(depends TARGET ${current} PROPERTY TESSEL_DEPENDS)
      list(APPEND allowed ${headers})
      list(APPEND pending ${depends})
    endwhile()
    get_property(files TARGET ${target} PROPERTY TESSEL_FILES)
    foreach(file IN LISTS files)
      file(STRINGS ${PROJECT_SOURCE_DIR}/${file} includes REGEX "^#include \"")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]+)\".*$" "\\1" header "${line}")
        if(NOT header IN_LIST allowed)
          message(FATAL_ERROR "${file} includes \"${header}\", which is neither part of "
                              "${target} nor of a library ${target} depends on.")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
