# GoogleTest from Debian's sources, built with the same toolchain as our code.
set(DENOPTIX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${DENOPTIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(NOT MSVC)
  target_link_options(gtest PUBLIC -static -static-libgcc -static-libstdc++)
endif()
include(GoogleTest)

# Tests share one desktop, clipboard and registry, so they run one at a time.
set(DENOPTIX_TEST_PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
if(CMAKE_CROSSCOMPILING)
  add_test(NAME wine_env_setup COMMAND ${CMAKE_BINARY_DIR}/wine-env.sh setup)
  add_test(NAME wine_env_stop COMMAND ${CMAKE_BINARY_DIR}/wine-env.sh stop)
  set_tests_properties(wine_env_setup PROPERTIES FIXTURES_SETUP wine_env)
  set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine_env)
  list(APPEND DENOPTIX_TEST_PROPERTIES FIXTURES_REQUIRED wine_env)
endif()

# Adds a GoogleTest executable; its cases are discovered when the tests run
# (under the emulator), not right after the build. BOTH_BUILDS marks the
# suites that meet the control and the receivers, which the 64-bit build runs
# too (label "both-builds"); the 32-bit build, the product, runs every suite.
function(denoptix_add_gtest target)
  cmake_parse_arguments(ARG "BOTH_BUILDS" "" "SOURCES;LIBRARIES;DEPENDS" ${ARGN})
  set(properties ${DENOPTIX_TEST_PROPERTIES})
  if(ARG_BOTH_BUILDS)
    list(APPEND properties LABELS both-builds)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE denoptix_build_options GTest::gtest_main ${ARG_LIBRARIES})
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${properties})
endfunction()
