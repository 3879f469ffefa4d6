// Prints the detected character code of each file named on standard input, one
// "code<TAB>path" line per file. With --records, standard input is a series of
// records instead, each a line with a byte count followed by that many bytes, and
// the output is one code per record. Built and run by measure_detection.py.

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "text/DetectCharCode.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--records") {
    std::string count;
    while (std::getline(std::cin, count)) {
      std::string bytes(std::stoul(count), '\0');
      std::cin.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
      std::cout << DetectCharCode(bytes) << '\n';
    }
    return 0;
  }
  std::string path;
  while (std::getline(std::cin, path)) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::cout << DetectCharCode(bytes) << '\t' << path << '\n';
  }
  return 0;
}
