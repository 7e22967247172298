# gzip_at_build(FILE GZ_OUT): FILE compressed as Debian wants its manual pages
# and changelogs, at the highest level and without a name or time stamp
# (gzip -9n), so that two builds give the same bytes. GZ_OUT names the result
# in the current binary folder; an ALL target makes it.
function(gzip_at_build file out)
  get_filename_component(name ${file} NAME)
  set(plain ${CMAKE_CURRENT_BINARY_DIR}/gz/${name})
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${plain}
    COMMAND gzip -9nf ${plain}
    DEPENDS ${file} VERBATIM)
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${plain}.gz)
  set(${out} ${plain}.gz PARENT_SCOPE)
endfunction()
