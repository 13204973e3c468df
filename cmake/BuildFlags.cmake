# The warnings and flags every target of the project is built with. They live
# on one interface target rather than in global variables, so that a target's
# flags can be read off its links and a stricter set can be tried in one place.
add_library(brisko_build_flags INTERFACE)
target_compile_options(brisko_build_flags INTERFACE -Wall -Wextra -Wconversion -Wshadow)

# Links every library and program defined in `directory` and the folders below
# it to brisko_build_flags. Called once, after the last folder is added, so a
# new target cannot be left out.
function(brisko_link_build_flags directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE brisko_build_flags)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(folder IN LISTS folders)
    brisko_link_build_flags(${folder})
  endforeach()
endfunction()
