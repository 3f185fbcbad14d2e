# The file version resource of a Windows binary, written by
# entry/version_generate.cpp from the effect's registered version word,
# beside the release's version text (entry/version/version.txt in the build
# tree) that the packaging scripts name their files with. The effect's own
# file name and description are the default; another binary of the release
# (the OpenFX plug-in) names its own:
#   huewright_add_version_resource(target [ORIGINAL_FILENAME name] [FILE_DESCRIPTION text])
include(${CMAKE_CURRENT_LIST_DIR}/BuildMachineProgram.cmake)

function(huewright_add_version_resource target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "ORIGINAL_FILENAME;FILE_DESCRIPTION" "")
  set(file_args)
  if(arg_ORIGINAL_FILENAME)
    set(file_args ${arg_ORIGINAL_FILENAME} ${arg_FILE_DESCRIPTION})
  endif()
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/version)
  set(generator ${out_dir}/version_generate)
  set(script ${out_dir}/version_resource.rc)
  huewright_build_machine_program(${generator} version_generate)
  add_custom_command(
    OUTPUT ${script} ${out_dir}/version.txt
    COMMAND ${generator} ${script} ${out_dir}/version.txt ${file_args}
    DEPENDS ${generator}
    COMMENT "Writing the version resource script"
    VERBATIM)
  target_sources(${target} PRIVATE ${script})
endfunction()
