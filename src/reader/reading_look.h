#pragma once

#include <windows.h>

#include <string>

namespace folivra {

// How the reader shows text, the same for every book, kept in a small file
// of the reader's own (%APPDATA%\Folivra\Reader\look.txt); a missing or
// broken file is the book's own look.
struct ReadingLook {
  int points = 0;     // the text's size; 0: as the book sets it
  std::wstring face;  // the typeface; empty: as the book sets it
  int spacing = 10;   // line spacing in tenths: 10, 15 or 20
  int colours = 0;    // 0 white, 1 护眼 green, 2 sepia, 3 night
  bool full = false;  // the full-screen reading view
};

inline constexpr int kLeastPoints = 8, kMostPoints = 48;

ReadingLook read_reading_look();
void write_reading_look(const ReadingLook& look);

// The page and the text of a colour scheme.
COLORREF page_colour(int colours);
COLORREF text_colour(int colours);

// The reader's folder (empty when %APPDATA% is not set), and a whole small
// file written beside the old one, then put in its place.
std::wstring reader_folder();
void replace_small_file(const std::wstring& file, const std::string& text);

}  // namespace folivra
