// Writes the program's icon as SVG, from the same outlines the window draws,
// so the installed icon cannot drift from the art. Usage: write_icon FILE
#include <fstream>
#include <iostream>

#include "view/glyph_art.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_icon FILE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << tsuzuri::appIconSvg();
    out.close();
    if (!out) {
        std::cerr << "write_icon: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
