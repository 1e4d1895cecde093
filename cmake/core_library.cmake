# The portable core: everything that can be decided without a window.
set(FOLIVRA_CORE_SOURCES
  src/book/block_codec.cpp
  src/book/block_compress.cpp
  src/book/book_read.cpp
  src/book/book_reader.cpp
  src/book/book_deferred_read.cpp
  src/book/book_time.cpp
  src/book/book_write.cpp
  src/book/book_writer.cpp
  src/book/fingerprint.cpp
  src/book/disk_stamp.cpp
  src/book/task_pool.cpp
  src/book/image_id.cpp
  src/book/byte_reader.cpp
  src/book/field_cipher.cpp
  src/book/file_io.cpp
  src/book/file_name.cpp
  src/book/gb18030.cpp
  src/book/gbk.cpp
  src/book/code_page.cpp
  src/book/code_page_tables.cpp
  src/book/md5.cpp
  src/book/new_book.cpp
  src/export/book_icon.cpp
  src/book/pe_image.cpp
  src/book/reader_image.cpp
  src/export/text_export.cpp
  src/export/plain_export.cpp
  src/export/zip_archive.cpp
  src/export/epub_export.cpp
  src/text/rtf_check.cpp
  src/text/chapter_cut.cpp
  src/text/chapter_join.cpp
  src/text/rtf_token.cpp
  src/text/code_pages.cpp
  src/text/rtf_walk.cpp
  src/text/text_replace.cpp
  src/text/word_count.cpp
  src/text/plain_text.cpp
  src/text/text_search.cpp
  src/text/text_diff.cpp
  src/text/text_layout.cpp
  src/text/chapter_numbers.cpp
  src/text/view_marks.cpp
  src/text/numerals.cpp
  src/text/volumes.cpp
  src/text/diff_rtf.cpp
  src/text/book_search.cpp
  src/text/text_import.cpp
  src/text/text_rtf.cpp
  src/text/novel_import.cpp
  src/document/chapter_counts.cpp
  src/document/chapter_look.cpp
  src/document/document.cpp
  src/document/renumbering.cpp
  src/document/book_replace.cpp
  src/document/damage_report.cpp
  src/document/content_load.cpp
  src/store/sqlite_db.cpp
  src/store/writing_store.cpp
)
if(WIN32)
  list(APPEND FOLIVRA_CORE_SOURCES src/book/file_io_win.cpp src/book/gbk_win.cpp
       src/book/gbk_path_win.cpp)
else()
  list(APPEND FOLIVRA_CORE_SOURCES src/book/file_io_posix.cpp src/book/gbk_path_posix.cpp
       src/book/gbk_wide_posix.cpp)
endif()
list(TRANSFORM FOLIVRA_CORE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)

# libdeflate, where the machine has it, encodes and decodes whole blocks
# faster than zlib; zlib stays for everything else and as the rule.
# The Windows tree takes the build the setup makes from Debian's source.
if(WIN32)
  set(FOLIVRA_DEPS ${PROJECT_SOURCE_DIR}/build/deps/mingw)
  find_path(FOLIVRA_LIBDEFLATE_INCLUDE libdeflate.h PATHS ${FOLIVRA_DEPS}/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(FOLIVRA_LIBDEFLATE NAMES libdeflate.a PATHS ${FOLIVRA_DEPS}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
else()
  find_path(FOLIVRA_LIBDEFLATE_INCLUDE libdeflate.h)
  find_library(FOLIVRA_LIBDEFLATE NAMES libdeflate.a deflate)
endif()
if(FOLIVRA_LIBDEFLATE AND FOLIVRA_LIBDEFLATE_INCLUDE)
  message(STATUS "libdeflate: ${FOLIVRA_LIBDEFLATE}")
else()
  set(FOLIVRA_LIBDEFLATE "")
  message(STATUS "libdeflate: not found, zlib alone")
endif()

# PCRE2 (16-bit, with its JIT) matches every regular expression: search,
# replace, heading rules and zqb grep.
if(WIN32)
  find_path(FOLIVRA_PCRE2_INCLUDE pcre2.h PATHS ${FOLIVRA_DEPS}/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_library(FOLIVRA_PCRE2 NAMES libpcre2-16.a PATHS ${FOLIVRA_DEPS}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
else()
  find_path(FOLIVRA_PCRE2_INCLUDE pcre2.h REQUIRED)
  find_library(FOLIVRA_PCRE2 NAMES pcre2-16 REQUIRED)
endif()
message(STATUS "PCRE2: ${FOLIVRA_PCRE2}")

# SQLite keeps the writing store.
if(WIN32)
  find_path(FOLIVRA_SQLITE_INCLUDE sqlite3.h PATHS ${FOLIVRA_DEPS}/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_library(FOLIVRA_SQLITE NAMES libsqlite3.a PATHS ${FOLIVRA_DEPS}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
else()
  find_path(FOLIVRA_SQLITE_INCLUDE sqlite3.h REQUIRED)
  find_library(FOLIVRA_SQLITE NAMES sqlite3 REQUIRED)
endif()
message(STATUS "SQLite: ${FOLIVRA_SQLITE}")

# The rooms and the rooms each may use: every room is a library of its own
# that sees, through a view of src/ made for it (build/rooms/ROOM), only
# itself and the rooms below it, so an include against the direction fails
# to build (see the README).
set(FOLIVRA_BELOW_book "")
set(FOLIVRA_BELOW_text book)
set(FOLIVRA_BELOW_document text book)
set(FOLIVRA_BELOW_export text book)
set(FOLIVRA_BELOW_store book)
set(FOLIVRA_BELOW_cli document store export text book)
set(FOLIVRA_BELOW_ui text book)
set(FOLIVRA_BELOW_editor ui document text book)
set(FOLIVRA_BELOW_shell book)
set(FOLIVRA_BELOW_reader ui document text book)
set(FOLIVRA_BELOW_app editor shell ui document store export text book)

# folivra_room_view(ROOM): the include folder a room's code is built with.
function(folivra_room_view room)
  set(view ${CMAKE_BINARY_DIR}/rooms/${room})
  file(MAKE_DIRECTORY ${view})
  foreach(seen ${room} ${FOLIVRA_BELOW_${room}})
    file(REMOVE ${view}/${seen})  # a link of an earlier configure
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${seen} ${view}/${seen} SYMBOLIC)
  endforeach()
  set(FOLIVRA_VIEW_${room} ${view} PARENT_SCOPE)
endfunction()
foreach(room book text document export store cli ui editor shell reader app)
  folivra_room_view(${room})
endforeach()

# folivra_core_library(NAME [ZLIB_ONLY] [OPTIONS flags...]): one build of the
# core, a library per room (NAME_book, NAME_text, NAME_document, NAME_export)
# and NAME for all of them; the native tree builds it plain, with sanitizers
# for the tests, and for fuzzing; ZLIB_ONLY leaves libdeflate out and reads
# code pages from Windows rather than carrying their tables, and decodes on
# the calling thread alone (the small reader).
function(folivra_core_library name)
  cmake_parse_arguments(ARG "ZLIB_ONLY" "" "OPTIONS" ${ARGN})
  set(sources ${FOLIVRA_CORE_SOURCES})
  if(ARG_ZLIB_ONLY)
    list(TRANSFORM sources REPLACE "code_page_tables.cpp$" "code_page_tables_win.cpp")
    list(TRANSFORM sources REPLACE "task_pool.cpp$" "task_pool_serial.cpp")
  endif()
  foreach(room book text document export store)
    set(room_sources ${sources})
    list(FILTER room_sources INCLUDE REGEX "/src/${room}/")
    add_library(${name}_${room} STATIC ${room_sources})
    target_include_directories(${name}_${room} PRIVATE ${FOLIVRA_VIEW_${room}})
    foreach(below ${FOLIVRA_BELOW_${room}})
      target_link_libraries(${name}_${room} PUBLIC ${name}_${below})
    endforeach()
    if(ARG_OPTIONS)
      target_compile_options(${name}_${room} PUBLIC ${ARG_OPTIONS})
      target_link_options(${name}_${room} PUBLIC ${ARG_OPTIONS})
    endif()
  endforeach()
  target_link_libraries(${name}_book PUBLIC ZLIB::ZLIB)
  if(FOLIVRA_LIBDEFLATE AND NOT ARG_ZLIB_ONLY)
    target_compile_definitions(${name}_book PRIVATE FOLIVRA_LIBDEFLATE)
    target_include_directories(${name}_book PRIVATE ${FOLIVRA_LIBDEFLATE_INCLUDE})
    target_link_libraries(${name}_book PUBLIC ${FOLIVRA_LIBDEFLATE})
  endif()
  target_include_directories(${name}_text PRIVATE ${FOLIVRA_PCRE2_INCLUDE})
  target_compile_definitions(${name}_text PRIVATE PCRE2_CODE_UNIT_WIDTH=16 PCRE2_STATIC)
  target_link_libraries(${name}_text PUBLIC ${FOLIVRA_PCRE2})
  target_include_directories(${name}_store PRIVATE ${FOLIVRA_SQLITE_INCLUDE})
  target_link_libraries(${name}_store PUBLIC ${FOLIVRA_SQLITE})
  # The whole core, for tests and the programs above it.
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} INTERFACE ${name}_export ${name}_document ${name}_store)
endfunction()

set(FOLIVRA_CORE_TEST_SOURCES
  tests/book/block_codec_test.cpp
  tests/book/book_file_layout_test.cpp
  tests/book/book_reader_test.cpp
  tests/book/book_salvage_test.cpp
  tests/book/book_time_test.cpp
  tests/book/parallel_items_test.cpp
  tests/book/byte_reader_test.cpp
  tests/book/field_cipher_test.cpp
  tests/book/file_io_test.cpp
  tests/book/file_name_test.cpp
  tests/book/gb18030_test.cpp
  tests/book/gbk_test.cpp
  tests/book/test_books.cpp
  tests/text/rtf_check_test.cpp
  tests/text/chapter_cut_test.cpp
  tests/text/text_replace_test.cpp
  tests/text/word_count_test.cpp
  tests/text/text_search_test.cpp
  tests/text/text_diff_test.cpp
  tests/text/text_layout_test.cpp
  tests/text/view_marks_test.cpp
  tests/text/chapter_numbers_test.cpp
  tests/text/text_import_test.cpp
  tests/text/rtf_corpus_test.cpp
  tests/export/plain_export_test.cpp
  tests/document/document_test.cpp
  tests/document/chapter_look_test.cpp
  tests/document/volumes_test.cpp
  tests/store/writing_store_test.cpp
)
list(TRANSFORM FOLIVRA_CORE_TEST_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
