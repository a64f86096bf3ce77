# Helpers every folder uses to declare its libraries, tests, benchmarks and fuzz targets the same way.

# tarvos_library(NAME SOURCES ... DEPS ...): a static library whose headers are included from the
# repository root ("platform/win32/types.h").
function(tarvos_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# tarvos_folder_library(NAME DEPS ... [EXCLUDE file ...]): the library of one folder, made of every
# .cpp in it but the excluded ones (program entries kept apart).
function(tarvos_folder_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(file ${ARG_EXCLUDE})
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endforeach()
    tarvos_library(${name} SOURCES ${sources} DEPS ${ARG_DEPS})
endfunction()

# tarvos_test(NAME LABEL label SOURCES ... DEPS ... [TIMEOUT s] [ENV ...]): one GoogleTest
# executable, registered with CTest under the label of the top-level folder it tests. Tests always
# run headless.
function(tarvos_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;DEPS;ENV" ${ARGN})
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

# tarvos_folder_tests(NAME LABEL label DEPS ... [TIMEOUT s] [ENV ...]): one GoogleTest program of
# every *_test.cpp here.
function(tarvos_folder_tests name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "DEPS;ENV" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    tarvos_test(${name} LABEL ${ARG_LABEL} TIMEOUT "${ARG_TIMEOUT}" SOURCES ${sources}
        DEPS ${ARG_DEPS} ENV ${ARG_ENV})
endfunction()

# tarvos_x11_test(NAME LABEL label PROGRAM target [TIMEOUT s] [ARGS ...]): the program once more on
# a desktop of its own (scripts/with_desktop.sh: a virtual X server and a window manager), where
# windows are framed, placed and moved as on a user's desktop.
function(tarvos_x11_test name)
    cmake_parse_arguments(ARG "" "LABEL;PROGRAM;TIMEOUT" "ARGS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_test(NAME ${name}
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/with_desktop.sh $<TARGET_FILE:${ARG_PROGRAM}>
                ${ARG_ARGS})
    set_tests_properties(${name} PROPERTIES
        LABELS "${ARG_LABEL};x11"
        TIMEOUT ${ARG_TIMEOUT}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        ENVIRONMENT "SDL_VIDEODRIVER=x11;SDL_AUDIODRIVER=dummy;TARVOS_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARVOS_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# tarvos_benchmark(NAME SOURCES ... DEPS ... [MEDIA]): a Google Benchmark program bench_<what>,
# built but never run as a test. MEDIA: it reads the generated media from TARVOS_MEDIA_DIR.
function(tarvos_benchmark name)
    cmake_parse_arguments(ARG "MEDIA" "" "SOURCES;DEPS" ${ARGN})
    if(NOT name MATCHES "^bench_")
        message(FATAL_ERROR "benchmark programs are named bench_<what>, not ${name}")
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    if(ARG_MEDIA)
        add_dependencies(${name} tarvos_media)
        target_compile_definitions(${name} PRIVATE TARVOS_MEDIA_DIR="${CMAKE_BINARY_DIR}/media")
    endif()
endfunction()

# tarvos_fuzz(FORMAT DEPS ... LABEL label): the libFuzzer target fuzz_<format> of the folder's
# fuzz_<format>.cpp, also registered as a short CTest run over the folder's seed corpus/.
function(tarvos_fuzz format)
    cmake_parse_arguments(ARG "" "LABEL" "DEPS" ${ARGN})
    set(name fuzz_${format})
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${format})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${name}
        COMMAND ${name} -max_total_time=${TARVOS_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
                ${work} ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL};fuzz" TIMEOUT 600
        ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy")
endfunction()
if(NOT DEFINED TARVOS_FUZZ_SECONDS)
    set(TARVOS_FUZZ_SECONDS 5)
endif()

# tarvos_each_subfolder(): adds every folder under this one, each a program with its own
# CMakeLists.txt (benchmarks, fuzz targets).
macro(tarvos_each_subfolder)
    file(GLOB tarvos_subfolders LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir ${tarvos_subfolders})
        if(IS_DIRECTORY ${dir})
            add_subdirectory(${dir})
        endif()
    endforeach()
endmacro()
