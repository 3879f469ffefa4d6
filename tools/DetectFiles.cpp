// Prints the detected character code of each file named on standard input, one
// "code<TAB>path" line per file. Built and run by measure_detection.py.

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "text/DetectCharCode.h"

int main() {
  std::string path;
  while (std::getline(std::cin, path)) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::cout << DetectCharCode(bytes) << '\t' << path << '\n';
  }
  return 0;
}
