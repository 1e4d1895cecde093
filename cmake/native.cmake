# Native Linux tree: the core, zqb, tests with sanitizers, benchmark, fuzzer.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
find_package(nlohmann_json REQUIRED)

set(FOLIVRA_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
folivra_core_library(folivra_core)
folivra_core_library(folivra_core_checked OPTIONS ${FOLIVRA_SANITIZERS})

add_executable(zqb src/cli/zqb_main.cpp src/cli/zqb_commands.cpp src/cli/zqb_chapters.cpp src/cli/zqb_grep.cpp src/cli/zqb_import.cpp src/cli/zqb_store.cpp src/cli/zqb_format.cpp src/cli/book_json.cpp
                   src/cli/base64.cpp)
target_include_directories(zqb PRIVATE ${FOLIVRA_VIEW_cli})
target_link_libraries(zqb PRIVATE folivra_core_export folivra_core_document folivra_core_store
                      nlohmann_json::nlohmann_json)

add_executable(core_tests ${FOLIVRA_CORE_TEST_SOURCES} tests/book/book_writer_safety_test.cpp
                          tests/cli/base64_test.cpp src/cli/base64.cpp
                          tests/app/window_layout_test.cpp src/app/window_layout.cpp
                          tests/app/settings_values_test.cpp src/app/ini_values.cpp
                          src/app/ini_file.cpp tests/app/ini_file_test.cpp
                          src/app/recent_list.cpp src/editor/file_filter.cpp
                          src/ui/font_choice.cpp
                          tests/app/command_line_test.cpp src/app/command_line.cpp
                          tests/app/document_commands_test.cpp src/app/document_commands.cpp
                          tests/app/scripted_prompts.cpp tests/export/text_export_test.cpp
                          tests/book/reader_image_test.cpp tests/export/book_icon_test.cpp)
target_compile_definitions(core_tests PRIVATE FOLIVRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_include_directories(core_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(core_tests PRIVATE folivra_core_checked GTest::gtest_main)
add_test(NAME core_tests COMMAND core_tests)

add_test(NAME zqb_cli COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/cli/zqb_cli_test.py $<TARGET_FILE:zqb>)
add_test(NAME zqb_novels COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/cli/zqb_novels_test.py $<TARGET_FILE:zqb>)
add_test(NAME zqb_hostile COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/cli/zqb_hostile_test.py $<TARGET_FILE:zqb>)

# Writes resources/folivra.ico.
add_executable(program_icon tools/program_icon.cpp)
target_include_directories(program_icon PRIVATE ${FOLIVRA_VIEW_cli})
target_link_libraries(program_icon PRIVATE folivra_core_export)

add_executable(book_bench bench/book_bench.cpp)
target_link_libraries(book_bench PRIVATE folivra_core benchmark::benchmark)

# fuzz_target(NAME SEEDS SECONDS [MORE_SEEDS]): a libFuzzer target, and a
# bounded run of it over its seed corpus (and another folder of seeds, such as
# a corpus of real documents) in the test command.
function(fuzz_target name seeds seconds)
  add_executable(${name} tests/fuzz/${name}.cpp)
  target_link_libraries(${name} PRIVATE folivra_core_fuzz)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
           ${PROJECT_SOURCE_DIR}/tests/fuzz/run_fuzz.sh $<TARGET_FILE:${name}>
           ${PROJECT_SOURCE_DIR}/tests/fuzz/${seeds} ${seconds} ${ARGN})
endfunction()

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  folivra_core_library(folivra_core_fuzz OPTIONS -fsanitize=fuzzer-no-link,address,undefined)
  fuzz_target(text_fuzz text_corpus 30 ${PROJECT_SOURCE_DIR}/tests/text/rtf_corpus)
  target_sources(text_fuzz PRIVATE tests/fuzz/rtf_reference.cpp)
  target_include_directories(text_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  fuzz_target(import_fuzz import_corpus 20)
  fuzz_target(document_fuzz document_corpus 20)
  set(FOLIVRA_FUZZ_SECONDS 40 CACHE STRING "How long the test run fuzzes the book reader")
  fuzz_target(book_fuzz corpus ${FOLIVRA_FUZZ_SECONDS})
endif()
