# Libraries of Qt widgets: one call makes the library with moc on.
#
#   brisko_add_widgets_library(<target> SOURCES <file>... [LIBS <lib>...])
#     A static library of the calling folder's SOURCES, moc run on them, the
#     folder on the include path of whatever links it, and LIBS and Qt6::Widgets
#     linked publicly.
function(brisko_add_widgets_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS")
  add_library(${target} STATIC ${arg_SOURCES})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${arg_LIBS} Qt6::Widgets)
endfunction()
