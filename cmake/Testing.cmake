# Test programs: one call builds a test executable and registers its tests.
#
#   brisko_add_gtest(<target> SOURCES <file>... [LIBS <lib>...] [DEFINITIONS <def>...]
#                    [DEPENDS <target>...] [DISCOVERY_TIMEOUT <seconds>]
#                    [PROPERTIES <name> <value>...] [NO_DISCOVERY])
#     A GoogleTest program linked to GTest::gtest_main and LIBS. Its tests are
#     discovered one by one, each with PROPERTIES. NO_DISCOVERY builds the program
#     only, for tests the caller adds itself (under xvfb-run, or with a filter).
#
#   brisko_add_qttest(<target> SOURCES <file>... [LIBS <lib>...] [DEFINITIONS <def>...]
#                     [PROPERTIES <name> <value>...])
#     A QtTest program (moc on, linked to Qt6::Test and LIBS), run as one test of
#     the same name with the offscreen platform and no X display.
#
#   brisko_add_xvfb_test(NAME <name> COMMAND <command>... [SCREEN <WxHxD>])
#     Runs COMMAND under a private Xvfb (default screen 1280x800x24). Nothing
#     when xvfb-run is missing. The caller may set more properties afterwards.
include(GoogleTest)

function(brisko_add_xvfb_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;SCREEN" "COMMAND")
  if(NOT XVFB_RUN)
    return()
  endif()
  if(NOT arg_SCREEN)
    set(arg_SCREEN 1280x800x24)
  endif()
  # -noreset: the server keeps its keyboard map when the last client of a test goes.
  add_test(NAME ${arg_NAME} COMMAND ${XVFB_RUN} -a -s "-screen 0 ${arg_SCREEN} -noreset" ${arg_COMMAND})
  # One private X server at a time: xvfb-run -a can race for a display number.
  set_tests_properties(${arg_NAME} PROPERTIES RESOURCE_LOCK xvfb)
endfunction()

function(_brisko_test_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;DEFINITIONS;DEPENDS")
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBS})
  if(arg_DEFINITIONS)
    target_compile_definitions(${target} PRIVATE ${arg_DEFINITIONS})
  endif()
  if(arg_DEPENDS)
    add_dependencies(${target} ${arg_DEPENDS})
  endif()
endfunction()

function(brisko_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_DISCOVERY" "DISCOVERY_TIMEOUT" "SOURCES;LIBS;DEFINITIONS;DEPENDS;PROPERTIES")
  _brisko_test_program(${target} SOURCES ${arg_SOURCES} LIBS ${arg_LIBS} GTest::gtest_main
                       DEFINITIONS ${arg_DEFINITIONS} DEPENDS ${arg_DEPENDS})
  if(arg_NO_DISCOVERY)
    return()
  endif()
  set(options)
  if(arg_DISCOVERY_TIMEOUT)
    list(APPEND options DISCOVERY_TIMEOUT ${arg_DISCOVERY_TIMEOUT})
  endif()
  if(arg_PROPERTIES)
    list(APPEND options PROPERTIES ${arg_PROPERTIES})
  endif()
  gtest_discover_tests(${target} ${options})
endfunction()

function(brisko_add_qttest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;DEFINITIONS;PROPERTIES")
  _brisko_test_program(${target} SOURCES ${arg_SOURCES} LIBS ${arg_LIBS} Qt6::Test
                       DEFINITIONS ${arg_DEFINITIONS})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DISPLAY=" ${arg_PROPERTIES})
endfunction()
