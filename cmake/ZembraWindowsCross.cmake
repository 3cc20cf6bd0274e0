# A cross build for Windows (cmake/mingw-w64-x86_64.cmake): GoogleTest is built for the target
# from the sources Debian ships, and the tests run under Wine, in a Wine prefix of the build's
# own (<build>/wineprefix), through ctest's emulator.

set(ZEMBRA_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources, built for the target (Debian: package googletest)")
set(ZEMBRA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH
    "The Wine prefix the tests run in; made on first use")

if(ZEMBRA_BUILD_TESTS)
    find_program(ZEMBRA_WINE wine REQUIRED)
    find_program(ZEMBRA_WINESERVER wineserver REQUIRED)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
        @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
    # The test cases are listed when ctest runs, not while building, so that the build itself
    # never needs Wine.
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${ZEMBRA_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
        EXCLUDE_FROM_ALL SYSTEM)
endif()
