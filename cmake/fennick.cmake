# Helpers shared by every folder's CMakeLists.

# fennick_library(NAME SOURCES... [DEPENDS libs...])
# A folder's library: public headers under NAME/include, sources under NAME/src.
function(fennick_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                     PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# fennick_test(NAME SOURCES... [DEPENDS libs...])
# One test executable. Natively every test case becomes a CTest test; in the
# Windows build the whole executable is one CTest test run under Wine, since
# starting Wine once per case would cost more than the tests themselves.
function(fennick_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
      FENNICK_SHARED_DIR="${FENNICK_SHARED_DIR}"
      FENNICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      FENNICK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  else()
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
