# Dialog scripts of a module (res/*.dlg) are built into the module: each becomes a source file
# that hands its text to the window layer when the module loads.
#
#   qv_add_dialog_templates(<target> res/dialogs.dlg ...)
function(qv_add_dialog_templates target)
  foreach(script IN LISTS ARGN)
    get_filename_component(path "${script}" ABSOLUTE)
    get_filename_component(name "${script}" NAME_WE)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_dialogs.cpp")
    add_custom_command(
      OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -DIN=${path} -DOUT=${out} -DNAME=${name} -P ${QV_DIALOG_EMBED_SCRIPT}
      DEPENDS "${path}" ${QV_DIALOG_EMBED_SCRIPT}
      COMMENT "Building dialog script ${script} into ${target}")
    target_sources(${target} PRIVATE "${out}")
  endforeach()
endfunction()
set(QV_DIALOG_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/QvEmbedDialogs.cmake" CACHE INTERNAL "")
