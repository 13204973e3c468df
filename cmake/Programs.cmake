# Where the programs land in the build: each subsystem's programs together in
# build/<subsystem>/bin, where the scripts, the tests and the README find them
# (tamblo beside libHushtab.so, which it loads from its own folder).
#
#   brisko_program_folder(<target> <subsystem> [OUTPUT_NAME <name>])
function(brisko_program_folder target subsystem)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "OUTPUT_NAME" "")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${subsystem}/bin)
  if(arg_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${arg_OUTPUT_NAME})
  endif()
endfunction()
