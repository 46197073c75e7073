// zolvlint: checks movie lists, movie files and text and shape resource files with the
// engine's own loaders, and prints what they would pass over without a word.
//
//   zolvlint [--apps-dir DIR] FILE...
//
// Output lines are "file:line:column: error|warning: message", then a summary. Exit
// status: 0 no errors, 1 errors, 2 usage errors.
#include "Lint.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zolvlint::Main(args, std::cout, std::cerr);
}
