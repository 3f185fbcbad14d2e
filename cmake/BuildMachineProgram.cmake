# Build-time tools that write resource data for the Windows effect. They have
# to run on the build machine, but every target of the cross build is a
# Windows program, so they are compiled by a custom command with the build
# machine's own C++ compiler. The depfile rebuilds a tool (and what it writes)
# whenever one of the headers it includes changes.
include_guard(GLOBAL)
find_program(HUEWRIGHT_BUILD_CXX NAMES g++ c++ clang++ REQUIRED
             DOC "C++ compiler of the build machine, for build-time tools")

# Compiles entry/<name>.cpp into `program`, with entry/ and host/ on the
# include path.
function(huewright_build_machine_program program name)
  set(source ${PROJECT_SOURCE_DIR}/entry/${name}.cpp)
  get_filename_component(out_dir ${program} DIRECTORY)
  file(MAKE_DIRECTORY ${out_dir})
  add_custom_command(
    OUTPUT ${program}
    COMMAND ${HUEWRIGHT_BUILD_CXX} -std=c++20 -Wall -Wextra -Werror -O1
            -I${PROJECT_SOURCE_DIR}/entry -I${PROJECT_SOURCE_DIR}/host
            -MD -MF ${program}.d -MT ${program}
            ${source} -o ${program}
    DEPENDS ${source}
    DEPFILE ${program}.d
    COMMENT "Building ${name} for the build machine"
    VERBATIM)
endfunction()
