# The property list resource of the Windows effect. Its bytes come from
# entry/pipl_data.h (computed from entry/effect_constants.h), written to a file
# by entry/pipl_generate.cpp and embedded by the resource compiler.
include(${CMAKE_CURRENT_LIST_DIR}/BuildMachineProgram.cmake)

function(huewright_add_pipl_resource target)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/pipl)
  set(generator ${out_dir}/pipl_generate)
  set(bytes ${out_dir}/pipl.bin)
  huewright_build_machine_program(${generator} pipl_generate)
  add_custom_command(
    OUTPUT ${bytes}
    COMMAND ${generator} ${bytes}
    DEPENDS ${generator}
    COMMENT "Writing the property list bytes"
    VERBATIM)

  set(HUEWRIGHT_PIPL_BIN ${bytes})
  configure_file(${PROJECT_SOURCE_DIR}/entry/pipl_resource.rc.in ${out_dir}/pipl_resource.rc @ONLY)
  set_source_files_properties(${bytes} PROPERTIES HEADER_FILE_ONLY ON)
  set_source_files_properties(${out_dir}/pipl_resource.rc PROPERTIES OBJECT_DEPENDS ${bytes})
  target_sources(${target} PRIVATE ${out_dir}/pipl_resource.rc ${bytes})
endfunction()
