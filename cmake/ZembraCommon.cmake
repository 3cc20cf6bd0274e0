# One INTERFACE target carries the language level, warnings and sanitizer flags
# for every target of the project; nothing is put into the global CMAKE_CXX_FLAGS.

set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

option(ZEMBRA_WERROR "Treat warnings as errors" OFF)
option(ZEMBRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZEMBRA_COVERAGE "Build with gcov instrumentation (GCC) to measure what the tests run" OFF)

add_library(zembra_common INTERFACE)
add_library(Zembra::common ALIAS zembra_common)

target_compile_features(zembra_common INTERFACE cxx_std_20)
if(MSVC)
    # Visual C++ (a Windows build with Qt's MSVC kit): its own spelling of the same strictness.
    target_compile_options(zembra_common INTERFACE /W4 /permissive- /utf-8 /Zc:__cplusplus)
else()
    target_compile_options(zembra_common INTERFACE
        -Wall -Wextra -Wpedantic -Wold-style-cast -Wshadow -Wnon-virtual-dtor
        -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference -Wformat=2)
endif()
if(WIN32)
    # Windows 10 and later, as Qt 6 needs; no min and max macros from windows.h.
    target_compile_definitions(zembra_common INTERFACE _WIN32_WINNT=0x0A00 NOMINMAX)
endif()
target_compile_definitions(zembra_common INTERFACE
    _GLIBCXX_ASSERTIONS
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_FORCE_ASSERTS
    QT_NO_KEYWORDS)

if(ZEMBRA_WERROR)
    target_compile_options(zembra_common INTERFACE $<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
endif()

if(ZEMBRA_SANITIZE)
    target_compile_options(zembra_common INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(zembra_common INTERFACE -fsanitize=address,undefined)
endif()

if(ZEMBRA_COVERAGE)
    # Unoptimised, so that every line and branch of the source maps onto code that counts.
    target_compile_options(zembra_common INTERFACE --coverage -O0)
    target_link_options(zembra_common INTERFACE --coverage)
endif()

# A Qt Test executable linked with one library of the project and registered with ctest,
# offscreen, so that no test needs a display.
function(zembra_qt_test name library)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ${library} Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZEMBRA_NO_WAKE_ALARM=1" TIMEOUT 120)
endfunction()

# A GoogleTest executable linked with one library of the project, one ctest test per case. For
# the Qt-free back ends; anything that creates the wake timer runs with ZEMBRA_NO_WAKE_ALARM.
function(zembra_gtest name library)
    if(NOT TARGET GTest::gtest_main)
        find_package(GTest REQUIRED)
    endif()
    include(GoogleTest)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ${library} GTest::gtest_main)
    # Parameterised cases carry readable names of their own; the values add nothing.
    gtest_discover_tests(${name} NO_PRETTY_VALUES
        PROPERTIES ENVIRONMENT "ZEMBRA_NO_WAKE_ALARM=1" TIMEOUT 120)
endfunction()
