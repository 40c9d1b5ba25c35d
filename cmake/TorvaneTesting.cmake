include(GoogleTest)

# torvane_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every TEST becomes a CTest case. Tests find their
# fixtures through TORVANE_TEST_DATA (tests/data), the shipped RDAP bootstrap
# through TORVANE_RDAP_SNAPSHOT (data/rdap) and build tools through
# TORVANE_TOOLS_DIR. Widget tests run on the offscreen platform.
function(torvane_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TORVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    TORVANE_RDAP_SNAPSHOT="${PROJECT_SOURCE_DIR}/data/rdap"
    TORVANE_TOOLS_DIR="${PROJECT_BINARY_DIR}/tools")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
