# Libraries whose time goes into loops over pixels let the vectoriser work with its fuller cost
# model: GCC's -O2 leaves loops with run-time trip counts (row fills, row copies) scalar.
function(qv_vectorise_pixel_loops target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fvect-cost-model=dynamic)
  endif()
endfunction()
