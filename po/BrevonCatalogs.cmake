# Compiling gettext catalogs, shared by po/ and the tests.
find_program(BREVON_MSGFMT msgfmt)
if(NOT BREVON_MSGFMT)
  message(FATAL_ERROR "msgfmt not found: the message catalogs need GNU gettext "
                      "(the Debian package gettext)")
endif()

# brevon_compile_catalogs(<outputs variable> <po file> <mo file> [<po file> <mo file> ...])
#   Adds a rule per pair that compiles the .po into the .mo, and appends the .mo files to the
#   variable; a target of the calling folder must depend on them.
function(brevon_compile_catalogs outputs)
  set(mo_files ${${outputs}})
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs po mo)
    get_filename_component(mo_dir ${mo} DIRECTORY)
    add_custom_command(OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${mo_dir}
      COMMAND ${BREVON_MSGFMT} --check -o ${mo} ${po}
      DEPENDS ${po}
      COMMENT "Compiling ${po}"
      VERBATIM)
    list(APPEND mo_files ${mo})
  endwhile()
  set(${outputs} ${mo_files} PARENT_SCOPE)
endfunction()
