#include <iostream>
#include <string>
#include <vector>

#include "app/BatchRunner.h"

int main(int argc, char** argv) {
  return RunHeadless(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
