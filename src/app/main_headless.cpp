#include <string>
#include <vector>

#include "app/BatchRunner.h"

int main(int argc, char** argv) {
  return RunHeadlessOnConsole(std::vector<std::string>(argv + 1, argv + argc));
}
