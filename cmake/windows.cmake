# The Windows side: the Win32 layer, sonvira.exe and the Windows test programs.
# Everything is linked statically, so no MinGW runtime DLL has to travel with the program.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

file(GLOB WIN_SRC CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/base/*_win.cpp ${CMAKE_SOURCE_DIR}/ui/*_win.cpp ${CMAKE_SOURCE_DIR}/capture/*_win.cpp ${CMAKE_SOURCE_DIR}/speech/*_win.cpp
  ${CMAKE_SOURCE_DIR}/app/*_win.cpp ${CMAKE_SOURCE_DIR}/win/*.cpp)
list(FILTER WIN_SRC EXCLUDE REGEX "/(winmain|lean_runtime)_win\\.cpp$")
add_library(sonvira_win STATIC ${WIN_SRC})
target_link_libraries(sonvira_win PUBLIC sonvira_core
  comctl32 comdlg32 shell32 ole32 oleaut32 uuid sapi advapi32 user32 gdi32 kernel32)

enable_language(RC)
add_executable(sonvira WIN32 ${CMAKE_SOURCE_DIR}/app/winmain_win.cpp ${CMAKE_SOURCE_DIR}/win/lean_runtime_win.cpp
  ${CMAKE_SOURCE_DIR}/res/app.rc)
target_link_libraries(sonvira PRIVATE sonvira_win)
# Dropping the sections nothing refers to makes the program about 40 KB smaller. It cannot drop
# single functions: the PE linker keeps every object's .eh_frame whole, and the unwind data
# refer to every function of the object. The map says where the bytes go: scripts/size-map.sh.
target_link_options(sonvira PRIVATE -municode -Wl,--gc-sections -Wl,-Map,${CMAKE_CURRENT_BINARY_DIR}/sonvira.map)
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/app.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/generated OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/version.h)

# The release package, remade whenever the program changes: the program without its symbols
# and the user guide, in a zip named with the version (scripts/release.sh, README.md).
set(SONVIRA_RELEASE_DIR ${CMAKE_BINARY_DIR}/release CACHE PATH "Folder of the release package")
set(RELEASE_ZIP ${SONVIRA_RELEASE_DIR}/sonvira-${PROJECT_VERSION}-win32.zip)
add_custom_command(OUTPUT ${RELEASE_ZIP}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/package-release.sh ${CMAKE_STRIP} $<TARGET_FILE:sonvira>
          ${CMAKE_SOURCE_DIR}/res/readme-zh.txt ${RELEASE_ZIP}
  DEPENDS sonvira ${CMAKE_SOURCE_DIR}/res/readme-zh.txt ${CMAKE_SOURCE_DIR}/scripts/package-release.sh
  VERBATIM)
add_custom_target(release ALL DEPENDS ${RELEASE_ZIP})

# GoogleTest from Debian's source package, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One program per test file, so that ctest reports each area on its own line.
# Their support includes as "support/..." (tests/win/support) and "common/..." (tests/common,
# the doubles the native tests use too).
file(GLOB WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/support/*.cpp)
list(FILTER WIN_TEST_SUPPORT EXCLUDE REGEX "/test_main\\.cpp$")
add_library(sonvira_win_test_support STATIC ${WIN_TEST_SUPPORT})
target_link_libraries(sonvira_win_test_support PUBLIC sonvira_win GTest::gtest)
target_include_directories(sonvira_win_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/win ${CMAKE_SOURCE_DIR}/tests)
# Their one main, which loads the common controls and the rich edit once per program; an
# object, not part of the library, so a program never gets two mains or none.
add_library(sonvira_win_test_main OBJECT ${CMAKE_SOURCE_DIR}/tests/win/support/test_main.cpp)
target_link_libraries(sonvira_win_test_main PRIVATE GTest::gtest)
foreach(kind win e2e)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*_test.cpp)
  foreach(t ${tests})
    get_filename_component(name ${t} NAME_WE)
    add_executable(${kind}_${name} ${t})
    target_link_libraries(${kind}_${name} PRIVATE sonvira_win_test_support sonvira_win_test_main)
    set_target_properties(${kind}_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endforeach()
endforeach()
