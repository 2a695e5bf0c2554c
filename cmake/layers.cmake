# installer_layer_includes(TARGET PUBLIC|PRIVATE LAYER...): TARGET sees the folders of src/ named
# (catalog, util, ...) and no other, each under its own name, so "catalog/ArticleCatalog.h" works
# and an include of a layer the target is not to use does not compile. The folders are links in a
# root of the target's own in the build tree. Consumers see what a PUBLIC root holds.
function(installer_layer_includes target scope)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(layer ${ARGN})
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${layer})
      message(FATAL_ERROR "installer_layer_includes: no layer src/${layer}")
    endif()
    if(NOT EXISTS ${root}/${layer})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
