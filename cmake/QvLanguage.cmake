# Language files: every module's ".drs" file is built from the text sources in its res/ folder by
# the builder in tools/drsbuild and lies beside the module's binary in the application folder.
#
# qv_add_language_file(<target> <module name> <sources...>
#                      [OUTPUT_DIRECTORY <folder>] [INCOMPLETE])
#
# Writes <module name>.drs (into the application folder unless OUTPUT_DIRECTORY says otherwise)
# whenever a source, or an image or data file a source names, changes; building <target> builds it.
# Every language must hold the same keys, unless INCOMPLETE is given (test files that exercise
# fallback languages).
function(qv_add_language_file target module)
  cmake_parse_arguments(ARG "INCOMPLETE" "OUTPUT_DIRECTORY" "" ${ARGN})
  if(NOT ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qv_add_language_file(${target} ${module}): no source files")
  endif()
  set(folder ${QV_APP_DIR})
  if(ARG_OUTPUT_DIRECTORY)
    set(folder ${ARG_OUTPUT_DIRECTORY})
  endif()
  set(output ${folder}/${module}.drs)
  set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${module}.drs.d)

  set(sources)
  foreach(source IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND sources ${source})
  endforeach()
  set(complete --complete)
  if(ARG_INCOMPLETE)
    set(complete)
  endif()

  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND drsbuild ${complete} --depfile ${depfile} -o ${output} ${sources}
    DEPENDS drsbuild ${sources}
    DEPFILE ${depfile}
    COMMENT "Building language file ${module}.drs"
    VERBATIM)
  add_custom_target(language_${module} DEPENDS ${output})
  add_dependencies(${target} language_${module})
endfunction()
