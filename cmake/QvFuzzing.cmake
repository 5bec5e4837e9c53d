# Fuzz targets: every parser of outside input has a LLVMFuzzerTestOneInput in a Fuzz<Thing>.cpp of
# its module's tests/ folder (tools/fuzz/FuzzSupport.h). The normal build links each target with a
# main that replays its seeds once, registered with CTest; with QV_FUZZ=ON (clang) the whole tree
# is built with the address and undefined-behaviour sanitizers and the targets become libFuzzer
# programs, run by scripts/fuzz.sh.
option(QV_FUZZ "Build the fuzz targets as libFuzzer programs (needs clang)" OFF)

set(QV_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)

if(QV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QV_FUZZ needs clang (configure with CC=clang CXX=clang++)")
  endif()
  add_compile_options(${QV_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
  add_link_options(${QV_SANITIZER_FLAGS})
endif()

# Builds every fuzz target (scripts/fuzz.sh builds this).
add_custom_target(qv_fuzz_targets)

# qv_add_fuzz_target(<name> SOURCE <file> LIBS <targets...> SEEDS <files or folders...>
#                    [DEPENDS <targets that make seeds...>])
#
# Makes the program fuzz_<name> in the build's fuzz/ folder and writes the list of its seeds to
# fuzz/<name>.seeds (read by scripts/fuzz.sh). In the normal build the test fuzz_<name>_seeds runs
# every seed (each file of a folder) through the target once.
function(qv_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE" "LIBS;SEEDS;DEPENDS" ${ARGN})
  if(NOT ARG_SOURCE OR NOT ARG_SEEDS)
    message(FATAL_ERROR "qv_add_fuzz_target(${name}): SOURCE and SEEDS are needed")
  endif()
  set(target fuzz_${name})
  add_executable(${target} ${ARG_SOURCE})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} qv_fuzz_support)
  target_compile_definitions(${target} PRIVATE QV_TESTDATA_DIR="${QV_TESTDATA_DIR}")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_FUZZ_DIR})
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
  add_dependencies(qv_fuzz_targets ${target})

  set(seeds)
  foreach(seed IN LISTS ARG_SEEDS)
    get_filename_component(seed ${seed} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND seeds ${seed})
  endforeach()
  list(JOIN seeds "\n" lines)
  file(WRITE ${QV_FUZZ_DIR}/${name}.seeds "${lines}\n")

  if(QV_FUZZ)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${target} PRIVATE qv_fuzz_replay)
    add_test(NAME fuzz_${name}_seeds COMMAND ${target} ${seeds} WORKING_DIRECTORY ${QV_FUZZ_DIR})
    set_tests_properties(fuzz_${name}_seeds PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  endif()
endfunction()
