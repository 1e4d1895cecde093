# Windows tree, cross-compiled with mingw-w64: the editor and the tests that
# run under Wine.
set(FOLIVRA_STATIC -static -static-libgcc -static-libstdc++)
folivra_core_library(folivra_core)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${PROJECT_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ WORLD_READ @ONLY)
set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)

# The window code, shared by the editor and the in-process window tests.
add_library(folivra_shell STATIC
  src/app/book_view.cpp
  src/app/command_line.cpp
  src/app/cover_picture.cpp
  src/app/document_commands.cpp
  src/app/ini_values.cpp
  src/app/main_window.cpp
  src/app/menus.cpp
  src/app/picture_box.cpp
  src/app/recent_files.cpp
  src/app/recent_list.cpp
  src/app/settings.cpp
  src/app/start_up.cpp
  src/app/window_settings.cpp
  src/app/windows_prompts.cpp
  src/app/splitter.cpp
  src/app/tree_images.cpp
  src/app/window_layout.cpp
  src/app/window_text.cpp
  src/editor/chapter_tree.cpp
  src/editor/content_editor.cpp
  src/editor/file_dialogs.cpp
  src/editor/file_filter.cpp
  src/editor/font_choice.cpp
  src/editor/font_dialog.cpp
  src/editor/info_fields.cpp
  src/export/password_dialog.cpp
)
target_include_directories(folivra_shell PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(folivra_shell PUBLIC UNICODE _UNICODE)
target_link_libraries(folivra_shell PUBLIC folivra_core comctl32 comdlg32 ole32 oleaut32 uuid)

add_executable(folivra WIN32 src/app/main.cpp resources/folivra.rc)
target_link_options(folivra PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(folivra PRIVATE folivra_shell)

add_executable(core_tests ${FOLIVRA_CORE_TEST_SOURCES} tests/book/book_writer_safety_test.cpp
                          tests/book/file_io_win_test.cpp tests/book/gbk_win_test.cpp)
target_include_directories(core_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(core_tests PRIVATE folivra_core gtest_main)
target_link_options(core_tests PRIVATE ${FOLIVRA_STATIC})
add_test(NAME core_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:core_tests>)

add_executable(window_tests tests/app/main_window_test.cpp tests/app/window_driver.cpp
                            tests/app/scripted_prompts.cpp
                            tests/editor/chapter_tree_test.cpp tests/editor/content_editing_test.cpp
                            tests/app/settings_test.cpp tests/app/dialogs_test.cpp
                            tests/app/document_window_test.cpp tests/app/document_commands_test.cpp
                            tests/app/command_line_test.cpp tests/export/password_dialog_test.cpp
                            tests/export/text_export_test.cpp
                            tests/book/test_books.cpp)
target_include_directories(window_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(window_tests PRIVATE folivra_shell gtest_main)
target_link_options(window_tests PRIVATE ${FOLIVRA_STATIC})
add_test(NAME window_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:window_tests>)

# Screenshots of the real window for people to look at (scripts/screenshots.sh).
add_executable(window_shots tools/window_shots.cpp)
target_link_options(window_shots PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(window_shots PRIVATE folivra_shell)

add_executable(instance_tests tests/app/instance_test.cpp tests/app/scripted_prompts.cpp
                              tests/book/test_books.cpp)
target_include_directories(instance_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_options(instance_tests PRIVATE -municode ${FOLIVRA_STATIC})
target_link_libraries(instance_tests PRIVATE folivra_shell gtest)
add_test(NAME instance_tests_wine COMMAND ${WINE_RUN} $<TARGET_FILE:instance_tests>)
