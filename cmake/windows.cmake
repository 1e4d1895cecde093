# Windows tree, cross-compiled with mingw-w64: the editor and the tests that
# run under Wine.
set(FOLIVRA_STATIC -static -static-libgcc -static-libstdc++)

# folivra_strip(TARGET [NO_LINK]): the program that ships is stripped; a copy
# as linked and its symbols (NAME.debug, named in the program by a debug
# link) stay in build/windows/symbols for reading crash reports. NO_LINK: no
# debug link either (the reader, whose book starts where its last section
# ends, must end on a section's full length).
function(folivra_strip target)
  set(symbols ${CMAKE_BINARY_DIR}/symbols)
  set(link --add-gnu-debuglink=${symbols}/$<TARGET_FILE_NAME:${target}>.debug)
  if(ARGV1 STREQUAL "NO_LINK")
    set(link "")
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${symbols}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${symbols}/$<TARGET_FILE_NAME:${target}>
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}>
            ${symbols}/$<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all ${link} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
folivra_core_library(folivra_core)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${PROJECT_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ WORLD_READ @ONLY)
set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)

# Version resources of the editor and the reader.
set(FOLIVRA_FILE_DESCRIPTION "Folivra book editor")
set(FOLIVRA_FILE_NAME "folivra.exe")
configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${CMAKE_BINARY_DIR}/editor_version.rc)
set(FOLIVRA_FILE_DESCRIPTION "Folivra book reader")
set(FOLIVRA_FILE_NAME "folivra_reader.exe")
configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${CMAKE_BINARY_DIR}/reader_version.rc)
string(TIMESTAMP FOLIVRA_BUILD_DATE "%Y-%m-%d")

# The stand-alone reader that compiled books carry. Small: built for size,
# stripped, on a core of its own built the same way.
# It runs on one thread: no guards around its statics.
set(FOLIVRA_SMALL -Os -ffunction-sections -fdata-sections -fno-threadsafe-statics)
folivra_core_library(folivra_core_small ZLIB_ONLY OPTIONS ${FOLIVRA_SMALL})
add_executable(folivra_reader WIN32 src/reader/reader_main.cpp src/reader/reader_window.cpp
               src/reader/reading_place.cpp src/reader/reading_look.cpp
               src/reader/lean_runtime.cpp
                                    src/reader/input_box.cpp src/ui/window_class.cpp src/ui/dpi.cpp
                                    src/ui/picture_box.cpp src/ui/cover_picture.cpp
                                    src/ui/rtf_stream.cpp src/ui/fresh_control.cpp src/ui/char_format.cpp
                                    resources/reader.rc ${CMAKE_BINARY_DIR}/reader_version.rc)
target_include_directories(folivra_reader PRIVATE ${FOLIVRA_VIEW_reader})
target_compile_definitions(folivra_reader PRIVATE UNICODE _UNICODE)
target_compile_options(folivra_reader PRIVATE ${FOLIVRA_SMALL})
target_link_options(folivra_reader PRIVATE -municode -Wl,--gc-sections ${FOLIVRA_STATIC})
folivra_strip(folivra_reader NO_LINK)
target_link_libraries(folivra_reader PRIVATE folivra_core_small_document folivra_core_small_text
                      comctl32 comdlg32 ole32 oleaut32 uuid windowscodecs)

# The programs' resources hold the icon: a new icon builds them again.
set_source_files_properties(resources/reader.rc resources/folivra.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/folivra.ico)

# The editor carries the reader as a resource (101, as app/carried_reader.h says).
set_target_properties(folivra_reader PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(FOLIVRA_READER_EXE ${CMAKE_BINARY_DIR}/folivra_reader.exe)
file(WRITE ${CMAKE_BINARY_DIR}/carried_reader.rc "101 RCDATA \"${FOLIVRA_READER_EXE}\"\n")
set(FOLIVRA_CARRIED_READER_RC ${CMAKE_BINARY_DIR}/carried_reader.rc)
set_source_files_properties(${FOLIVRA_CARRIED_READER_RC} PROPERTIES
                            OBJECT_DEPENDS ${FOLIVRA_READER_EXE})

# The window code, shared by the editor and the in-process window tests: a
# library per room (folivra_ui, folivra_editor, folivra_shell_integration,
# folivra_app), each seeing only itself and the rooms below it.
set(FOLIVRA_SHELL_SOURCES
  src/app/associate_command.cpp
  src/app/book_view.cpp
  src/app/book_holders.cpp
  src/app/command_line.cpp
  src/app/compile_command.cpp
  src/ui/cover_picture.cpp
  src/app/document_commands.cpp
  src/app/ini_file.cpp
  src/app/ini_values.cpp
  src/app/main_window.cpp
  src/app/chapter_commands.cpp
  src/app/edit_commands.cpp
  src/app/find_commands.cpp
  src/app/book_finder.cpp
  src/app/word_counts.cpp
  src/app/writing_log.cpp
  src/app/today_words.cpp
  src/app/writing_days.cpp
  src/app/history_commands.cpp
  src/app/layout_commands.cpp
  src/app/volume_commands.cpp
  src/app/writing_view.cpp
  src/editor/versions_window.cpp
  src/editor/writing_stats_window.cpp
  src/app/import_export_commands.cpp
  src/app/command_routing.cpp
  src/app/menus.cpp
  src/ui/picture_box.cpp
  src/app/recent_files.cpp
  src/app/recovery.cpp
  src/app/recovery_command.cpp
  src/app/recovery_keeper.cpp
  src/ui/rtf_stream.cpp
  src/ui/char_format.cpp
  src/ui/fresh_control.cpp
  src/ui/clipboard_picture.cpp
  src/ui/modal_loop.cpp
  src/ui/status_progress.cpp
  src/app/recent_list.cpp
  src/app/settings.cpp
  src/app/start_up.cpp
  src/ui/window_class.cpp
  src/app/editor_font.cpp
  src/app/window_placement.cpp
  src/app/windows_prompts.cpp
  src/ui/splitter.cpp
  src/ui/tree_images.cpp
  src/app/window_layout.cpp
  src/app/window_scale.cpp
  src/ui/window_text.cpp
  src/ui/dpi.cpp
  src/editor/chapter_tree.cpp
  src/editor/content_editor.cpp
  src/editor/content_format.cpp
  src/editor/file_dialogs.cpp
  src/editor/file_filter.cpp
  src/ui/font_choice.cpp
  src/editor/font_dialog.cpp
  src/editor/info_page.cpp
  src/editor/search_window.cpp
  src/editor/word_count_window.cpp
  src/editor/import_dialog.cpp
  src/shell/file_association.cpp
  src/editor/password_dialog.cpp
)
list(TRANSFORM FOLIVRA_SHELL_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
set(FOLIVRA_ROOM_LIB_ui folivra_ui)
set(FOLIVRA_ROOM_LIB_editor folivra_editor)
set(FOLIVRA_ROOM_LIB_shell folivra_shell_integration)
set(FOLIVRA_ROOM_LIB_app folivra_app)
foreach(room book text document export store)
  set(FOLIVRA_ROOM_LIB_${room} folivra_core_${room})
endforeach()
foreach(room ui editor shell app)
  set(room_sources ${FOLIVRA_SHELL_SOURCES})
  list(FILTER room_sources INCLUDE REGEX "/src/${room}/")
  add_library(${FOLIVRA_ROOM_LIB_${room}} STATIC ${room_sources})
  target_include_directories(${FOLIVRA_ROOM_LIB_${room}} PRIVATE ${FOLIVRA_VIEW_${room}})
  foreach(below ${FOLIVRA_BELOW_${room}})
    target_link_libraries(${FOLIVRA_ROOM_LIB_${room}} PUBLIC ${FOLIVRA_ROOM_LIB_${below}})
  endforeach()
endforeach()
target_compile_definitions(folivra_ui PUBLIC UNICODE _UNICODE)
target_compile_definitions(folivra_app PRIVATE FOLIVRA_VERSION="${PROJECT_VERSION}"
                           FOLIVRA_BUILD_DATE="${FOLIVRA_BUILD_DATE}")
target_link_libraries(folivra_ui PUBLIC comctl32 comdlg32 ole32 oleaut32 uuid shell32 windowscodecs)
# All of it, for the editor and the tests.
add_library(folivra_shell INTERFACE)
target_include_directories(folivra_shell INTERFACE ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(folivra_shell INTERFACE FOLIVRA_VERSION="${PROJECT_VERSION}"
                           FOLIVRA_BUILD_DATE="${FOLIVRA_BUILD_DATE}")
target_link_libraries(folivra_shell INTERFACE folivra_app folivra_core)

add_executable(folivra WIN32 src/app/main.cpp resources/folivra.rc ${FOLIVRA_CARRIED_READER_RC}
               ${CMAKE_BINARY_DIR}/editor_version.rc)
target_link_options(folivra PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(folivra PRIVATE folivra_shell)
folivra_strip(folivra)

add_executable(core_tests ${FOLIVRA_CORE_TEST_SOURCES} tests/book/book_writer_safety_test.cpp
                          tests/book/file_io_win_test.cpp tests/book/gbk_win_test.cpp
                          tests/export/program_icon_win_test.cpp)
target_include_directories(core_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(core_tests PRIVATE FOLIVRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_libraries(core_tests PRIVATE folivra_core gtest_main)
target_link_options(core_tests PRIVATE ${FOLIVRA_STATIC})
add_test(NAME core_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:core_tests>)

add_executable(window_tests ${FOLIVRA_CARRIED_READER_RC} ${CMAKE_BINARY_DIR}/editor_version.rc
                            tests/app/main_window_test.cpp tests/app/high_dpi_test.cpp tests/app/find_replace_test.cpp tests/app/window_driver.cpp
                            tests/app/scripted_prompts.cpp
                            tests/editor/chapter_tree_test.cpp tests/editor/chapter_operations_test.cpp
                            tests/editor/content_editing_test.cpp
                            tests/app/settings_test.cpp tests/app/dialogs_test.cpp
                            tests/app/document_window_test.cpp tests/app/document_commands_test.cpp
                            tests/app/keeping_work_test.cpp tests/app/daily_use_test.cpp tests/app/writing_history_test.cpp tests/app/book_shape_test.cpp
                            tests/app/writing_view_test.cpp
                            tests/app/saving_test.cpp tests/app/keyboard_test.cpp tests/app/two_windows_test.cpp
                            tests/app/import_export_test.cpp
                            tests/app/command_line_test.cpp tests/editor/password_dialog_test.cpp
                            tests/export/text_export_test.cpp tests/book/reader_image_test.cpp
                            tests/export/reader_program_test.cpp tests/shell/association_test.cpp
                            tests/book/test_books.cpp tests/ui/cover_picture_test.cpp)
target_include_directories(window_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(window_tests PRIVATE folivra_shell gtest_main version)
target_link_options(window_tests PRIVATE ${FOLIVRA_STATIC})
add_test(NAME window_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:window_tests>)

# The check against the control: the fuzzers' corpora and hostile RTF, each
# text the check passes streamed into a real control in a process of its own.
add_executable(control_corpus tests/ui/control_corpus.cpp)
target_link_options(control_corpus PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(control_corpus PRIVATE folivra_shell)
add_test(NAME control_corpus_wine
         COMMAND ${WINE_RUN} $<TARGET_FILE:control_corpus> ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus
                 ${PROJECT_SOURCE_DIR}/tests/fuzz/text_corpus)
set_tests_properties(control_corpus_wine PROPERTIES PASS_REGULAR_EXPRESSION
                     "all [0-9]+ texts the check passed went through the control")

# Screenshots of the real window for people to look at (scripts/screenshots.sh).
add_executable(window_shots tools/window_shots.cpp ${FOLIVRA_CARRIED_READER_RC})
target_link_options(window_shots PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(window_shots PRIVATE folivra_shell)

# Chapter operations against refilling the tree, on 5,000 chapters (not a test).
add_executable(window_bench bench/window_bench.cpp tests/app/scripted_prompts.cpp
                            ${FOLIVRA_CARRIED_READER_RC})
target_include_directories(window_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_options(window_bench PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(window_bench PRIVATE folivra_shell)

add_executable(instance_tests ${FOLIVRA_CARRIED_READER_RC} tests/app/instance_test.cpp tests/app/scripted_prompts.cpp
                              tests/app/recovery_test.cpp tests/app/hostile_window_test.cpp tests/app/window_driver.cpp
                              tests/book/test_books.cpp)
target_include_directories(instance_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_options(instance_tests PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(instance_tests PRIVATE folivra_shell gtest psapi)
add_test(NAME instance_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:instance_tests>)
# The settings file once more under a Western code page (1252).
add_test(NAME settings_western_wine COMMAND ${CMAKE_COMMAND} -E env FOLIVRA_WINE_LANG=en_US.UTF-8
         ${WINE_RUN} $<TARGET_FILE:instance_tests> --gtest_filter=SettingsElsewhere.*)


# zqb pack and unpack (the native tool) with the reader built here.
add_test(NAME zqb_pack COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/cli/zqb_pack_test.py
         ${PROJECT_SOURCE_DIR}/build/native/zqb ${FOLIVRA_READER_EXE})

add_test(NAME stripped_programs COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/install/stripped_test.py
         ${CMAKE_BINARY_DIR})

# The installer (NSIS) and its test: a silent install into a fresh Wine
# prefix, the installed editor's window, a silent uninstall.
find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(FOLIVRA_SETUP ${CMAKE_BINARY_DIR}/Folivra-${PROJECT_VERSION}-setup.exe)
  add_custom_command(
    OUTPUT ${FOLIVRA_SETUP}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEDITOR=$<TARGET_FILE:folivra>
            -DREADME=${PROJECT_SOURCE_DIR}/installer/README.txt
            -DICON=${PROJECT_SOURCE_DIR}/resources/folivra.ico -DOUTFILE=${FOLIVRA_SETUP}
            ${PROJECT_SOURCE_DIR}/installer/folivra.nsi
    DEPENDS folivra ${PROJECT_SOURCE_DIR}/installer/folivra.nsi
            ${PROJECT_SOURCE_DIR}/installer/README.txt
    VERBATIM)
  add_custom_target(installer ALL DEPENDS ${FOLIVRA_SETUP})
  add_test(NAME installer_wine
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/install_test.sh ${FOLIVRA_SETUP}
                   ${CMAKE_BINARY_DIR}/install-prefix)
endif()

add_executable(big_chapter_bench bench/big_chapter_bench.cpp ${FOLIVRA_CARRIED_READER_RC})
target_link_options(big_chapter_bench PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(big_chapter_bench PRIVATE folivra_shell psapi)

# Real RTF from other programs: the control's text beside the core's.
add_executable(rtf_corpus_tests tests/ui/rtf_corpus_test.cpp tests/book/test_books.cpp)
target_include_directories(rtf_corpus_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(rtf_corpus_tests PRIVATE FOLIVRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_libraries(rtf_corpus_tests PRIVATE folivra_shell gtest_main)
target_link_options(rtf_corpus_tests PRIVATE ${FOLIVRA_STATIC})
add_test(NAME rtf_corpus_wine COMMAND ${WINE_RUN} $<TARGET_FILE:rtf_corpus_tests>)

# Writes the code page tables kept in the tree (run by hand under Wine, not a test).
add_executable(code_page_tables tools/code_page_tables.cpp)
target_link_libraries(code_page_tables PRIVATE ZLIB::ZLIB)
target_link_options(code_page_tables PRIVATE ${FOLIVRA_STATIC})
