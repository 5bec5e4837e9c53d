# A module's pictures (bitmaps, icons, cursors listed in res/*.images) are built into the module:
# each list becomes a source file that registers its pictures when the module loads.
#
#   qv_add_image_resources(<target> res/images.images ...)
include(${CMAKE_CURRENT_LIST_DIR}/QvImageList.cmake)

function(qv_add_image_resources target)
  foreach(list IN LISTS ARGN)
    get_filename_component(path "${list}" ABSOLUTE)
    get_filename_component(name "${list}" NAME_WE)
    qv_read_image_list("${path}" entries)
    set(files)
    foreach(entry IN LISTS entries)
      string(REPLACE "|" ";" fields "${entry}")
      list(GET fields 2 file)
      list(APPEND files "${file}")
    endforeach()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_images.cpp")
    add_custom_command(
      OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -DIN=${path} -DOUT=${out} -DNAME=${name} -P ${QV_IMAGE_EMBED_SCRIPT}
      DEPENDS "${path}" ${files} ${QV_IMAGE_EMBED_SCRIPT} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/QvImageList.cmake
      COMMENT "Building the pictures of ${list} into ${target}")
    target_sources(${target} PRIVATE "${out}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
  endforeach()
endfunction()
set(QV_IMAGE_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/QvEmbedImages.cmake" CACHE INTERNAL "")
