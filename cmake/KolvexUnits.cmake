# One static library per subsystem folder: every .cpp in the folder is one unit.
# A folder without sources yet becomes an interface library so that the
# dependency graph stays the same while the subsystems grow.
function(kolvex_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    add_library(kx_${name} STATIC ${sources})
    target_include_directories(kx_${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(kx_${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(kx_${name} INTERFACE)
    target_include_directories(kx_${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(kx_${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# One test program per folder of tests/: tests/<name>/*.cpp, linked with the
# shared test main of tests/support.
function(kolvex_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE kx_test_support ${ARG_DEPENDS})
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KOLVEX_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()
