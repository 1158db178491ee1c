// Writes the help page with its tables filled in: folioscribe_manual <page> <output>.
#include <iostream>

#include "app/ManualPage.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: folioscribe_manual <help page> <output>\n";
    return 2;
  }
  const std::optional<std::string> page = ReadWholeFile(argv[1]);
  if (!page) {
    std::cerr << "folioscribe_manual: cannot read " << argv[1] << "\n";
    return 1;
  }
  if (!WriteFileAtomic(argv[2], FillManualPage(*page))) {
    std::cerr << "folioscribe_manual: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
