# The property list resource of the Windows effect. Its bytes come from
# entry/pipl_data.h (computed from entry/effect_constants.h), written to a file
# by entry/pipl_generate.cpp and embedded by the resource compiler.
#
# The generator has to run on the build machine, but every target of the cross
# build is a Windows program. So it is compiled by a custom command with the
# build machine's own C++ compiler; its depfile rebuilds it (and the resource)
# whenever pipl_data.h, effect_constants.h or the host headers change.
find_program(HUEWRIGHT_BUILD_CXX NAMES g++ c++ clang++ REQUIRED
             DOC "C++ compiler of the build machine, for build-time tools")

function(huewright_add_pipl_resource target)
  set(entry_dir ${PROJECT_SOURCE_DIR}/entry)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/pipl)
  set(generator ${out_dir}/pipl_generate)
  set(bytes ${out_dir}/pipl.bin)
  add_custom_command(
    OUTPUT ${generator}
    COMMAND ${HUEWRIGHT_BUILD_CXX} -std=c++20 -Wall -Wextra -Werror -O1
            -I${entry_dir} -I${PROJECT_SOURCE_DIR}/host
            -MD -MF ${generator}.d -MT ${generator}
            ${entry_dir}/pipl_generate.cpp -o ${generator}
    DEPENDS ${entry_dir}/pipl_generate.cpp
    DEPFILE ${generator}.d
    COMMENT "Building the property list generator for the build machine"
    VERBATIM)
  add_custom_command(
    OUTPUT ${bytes}
    COMMAND ${generator} ${bytes}
    DEPENDS ${generator}
    COMMENT "Writing the property list bytes"
    VERBATIM)

  set(HUEWRIGHT_PIPL_BIN ${bytes})
  configure_file(${entry_dir}/pipl_resource.rc.in ${out_dir}/pipl_resource.rc @ONLY)
  set_source_files_properties(${bytes} PROPERTIES HEADER_FILE_ONLY ON)
  set_source_files_properties(${out_dir}/pipl_resource.rc PROPERTIES OBJECT_DEPENDS ${bytes})
  target_sources(${target} PRIVATE ${out_dir}/pipl_resource.rc ${bytes})
endfunction()
