// Writes a synthetic Pascal project for the code-scan benchmark:
//   make_synthetic_project DIR [UNITS=2000] [LINES=500]
// Each unit has an interface with a uses clause, comments of all three kinds, and a string
// literal on every fourth line of its implementation part.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_synthetic_project DIR [UNITS] [LINES]\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    int units = argc > 2 ? std::atoi(argv[2]) : 2000;
    int lines = argc > 3 ? std::atoi(argv[3]) : 500;
    for (int u = 0; u < units; ++u) {
        std::filesystem::path folder = dir / ("pkg" + std::to_string(u / 100));
        std::filesystem::create_directories(folder);
        std::string name = "unit" + std::to_string(u);
        std::ofstream out(folder / (name + ".pas"), std::ios::binary);
        out << "unit " << name << ";\r\n\r\ninterface\r\n\r\nuses\r\n  SysUtils, Classes;\r\n\r\n"
            << "implementation\r\n\r\n";
        int written = 10;
        for (int i = 0; written < lines; ++i, ++written) {
            switch (i % 8) {
                case 0:
                    out << "procedure P" << i << ";\r\n";
                    break;
                case 1:
                    out << "begin\r\n";
                    break;
                case 2:
                    out << "  { a brace comment with 'quotes' }\r\n";
                    break;
                case 3:
                    out << "  ShowMessage('Message number " << i << " of unit " << u << "');\r\n";
                    break;
                case 4:
                    out << "  (* a star comment\r\n     over two lines *)\r\n";
                    ++written;
                    break;
                case 5:
                    out << "  X := X + 1; // a line comment 'here'\r\n";
                    break;
                case 6:
                    out << "  Caption := 'It''s item " << i << "' + Name + ' done';\r\n";
                    break;
                case 7:
                    out << "end;\r\n";
                    break;
            }
        }
        out << "\r\nend.\r\n";
    }
    return 0;
}
