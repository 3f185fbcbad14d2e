# The file version resource of the Windows effect, written by
# entry/version_generate.cpp from the registered version word, beside the
# release's version text (entry/version/version.txt in the build tree) that
# the packaging scripts name their files with.
include(${CMAKE_CURRENT_LIST_DIR}/BuildMachineProgram.cmake)

function(huewright_add_version_resource target)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/version)
  set(generator ${out_dir}/version_generate)
  set(script ${out_dir}/version_resource.rc)
  huewright_build_machine_program(${generator} version_generate)
  add_custom_command(
    OUTPUT ${script} ${out_dir}/version.txt
    COMMAND ${generator} ${script} ${out_dir}/version.txt
    DEPENDS ${generator}
    COMMENT "Writing the version resource script"
    VERBATIM)
  target_sources(${target} PRIVATE ${script})
endfunction()
