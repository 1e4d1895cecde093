// Writes the program's icon, drawn by the same code as the books' icons;
// its output is kept in the tree (a test holds the two together):
//   build/native/program_icon resources/folivra.ico
#include <cstdio>
#include <fstream>

#include "export/book_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_icon OUT.ico\n");
    return 64;
  }
  const std::string icon = folivra::program_icon_file();
  std::ofstream out(argv[1], std::ios::binary);
  out.write(icon.data(), static_cast<std::streamsize>(icon.size()));
  return out.good() ? 0 : 73;
}
