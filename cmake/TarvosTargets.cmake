# Helpers every folder uses to declare its libraries, tests, benchmarks and fuzz targets the same way.

# tarvos_library(NAME SOURCES ... DEPS ...): a static library whose headers are included from the
# repository root ("platform/win32/types.h").
function(tarvos_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# tarvos_test(NAME LABEL label SOURCES ... DEPS ... [ENV ...]): one GoogleTest executable, registered
# with CTest under the label of the top-level folder it tests. Tests always run headless.
function(tarvos_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS;ENV" ${ARGN})
    if(NOT TARVOS_TESTS OR TARVOS_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "${ARG_LABEL}"
        TIMEOUT ${ARG_TIMEOUT}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;TARVOS_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARVOS_BINARY_DIR=${CMAKE_BINARY_DIR};${ARG_ENV}")
endfunction()

# tarvos_benchmark(NAME SOURCES ... DEPS ...): a Google Benchmark program, built but never run as a test.
function(tarvos_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT TARVOS_BENCHMARKS OR NOT benchmark_FOUND OR TARVOS_FUZZ OR TARVOS_SANITIZE)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# tarvos_fuzz(FORMAT SOURCES ... DEPS ... CORPUS dir): a libFuzzer target fuzz_<format>; in a fuzz
# build it is also registered as a short CTest run over its seed corpus.
function(tarvos_fuzz format)
    cmake_parse_arguments(ARG "" "CORPUS;LABEL" "SOURCES;DEPS" ${ARGN})
    if(NOT TARVOS_FUZZ)
        return()
    endif()
    set(name fuzz_${format})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${format})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${name}
        COMMAND ${name} -max_total_time=${TARVOS_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
                ${work} ${ARG_CORPUS})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL};fuzz" TIMEOUT 600
        ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy")
endfunction()
if(NOT DEFINED TARVOS_FUZZ_SECONDS)
    set(TARVOS_FUZZ_SECONDS 5)
endif()

# tarvos_folder_library(NAME DEPS ... [OPTIONAL_DEPS ...]): the library of one folder, made of every
# .cpp in it; optional dependencies are linked when their targets exist.
function(tarvos_folder_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;OPTIONAL_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
        foreach(dep ${ARG_OPTIONAL_DEPS})
            if(TARGET ${dep})
                target_link_libraries(${name} PUBLIC ${dep})
            endif()
        endforeach()
    endif()
endfunction()

# tarvos_folder_tests(NAME LABEL label DEPS ...): one GoogleTest program of every *_test.cpp here.
function(tarvos_folder_tests name)
    cmake_parse_arguments(ARG "" "LABEL" "DEPS;ENV" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    if(sources)
        tarvos_test(${name} LABEL ${ARG_LABEL} SOURCES ${sources} DEPS ${ARG_DEPS} ENV ${ARG_ENV})
    endif()
endfunction()
