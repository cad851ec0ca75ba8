# The native side: unit tests of the portable core, and the Windows sub-build whose test
# programs are registered here to run under Wine.
include(GoogleTest)
find_package(GTest REQUIRED)
enable_testing()

file(GLOB UNIT_SRC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp ${CMAKE_SOURCE_DIR}/tests/unit/support/*.cpp)
add_executable(sonvira_unit_tests ${UNIT_SRC})
target_link_libraries(sonvira_unit_tests PRIVATE sonvira_core GTest::gtest GTest::gtest_main)
# Support includes as "support/..." (tests/unit/support) and "common/..." (tests/common).
target_include_directories(sonvira_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit ${CMAKE_SOURCE_DIR}/tests)
gtest_discover_tests(sonvira_unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60)

# The i686 Windows build of this same tree, rebuilt on every build.
include(ExternalProject)
set(WIN32_BUILD ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WIN32_BUILD}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DSONVIRA_RELEASE_DIR=${CMAKE_BINARY_DIR}/release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# Each Windows test program takes a desktop of its own (a virtual display and a Wine prefix,
# see scripts/wine-session.sh), so programs that fight over the foreground window never
# share one, while independent ones run side by side and native tests go on beside them.
set(WINE_GTEST ${CMAKE_SOURCE_DIR}/scripts/wine-gtest.sh)
add_test(NAME wine.sanity COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-sanity.sh ${WIN32_BUILD}/tools/wine_sanity/wine_sanity.exe)
set_tests_properties(wine.sanity PROPERTIES RESOURCE_GROUPS desktops:1)
foreach(kind win e2e)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*_test.cpp)
  foreach(t ${tests})
    get_filename_component(name ${t} NAME_WE)
    add_test(NAME ${kind}.${name} COMMAND ${WINE_GTEST} ${WIN32_BUILD}/tests/${kind}_${name}.exe)
    set_tests_properties(${kind}.${name} PROPERTIES RESOURCE_GROUPS desktops:1 DEPENDS wine.sanity TIMEOUT 600)
  endforeach()
endforeach()
# On a busy machine Wine's UI Automation can lose a reply between two processes: a call into
# the stand-in's tree then never returns (traced under Wine 10 with three busy loops on two
# cores: the stand-in served the call and went on answering its messages). The WeChat scenario
# runs alone, so that what it measures is Sonvira and not the machine's load.
set_tests_properties(e2e.wechat_test PROPERTIES RUN_SERIAL TRUE)

# A full disk, on a tmpfs of its own that the script mounts for the log commands' scenario.
add_test(NAME e2e.small_disk COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/small_disk.sh ${WIN32_BUILD}/tests/e2e_log_menu_test.exe)
set_tests_properties(e2e.small_disk PROPERTIES RESOURCE_GROUPS desktops:1 DEPENDS wine.sanity TIMEOUT 600)

# The folders depend on each other one way: an include that points back up fails here.
add_test(NAME build.layers COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh ${CMAKE_SOURCE_DIR})

# The release program must stand alone: system DLLs only, i686, GUI subsystem.
add_test(NAME build.sonvira_standalone COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh ${WIN32_BUILD}/sonvira.exe)
# What a user downloads: the package's files, version, imports and guide (scripts/release.sh).
add_test(NAME build.release_package COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh
  ${CMAKE_BINARY_DIR}/release/sonvira-${PROJECT_VERSION}-win32.zip ${PROJECT_VERSION})
