#include <string>
#include <vector>

#include "app/BatchRunner.h"
#include "platform/Memory.h"

int main(int argc, char** argv) {
  ReadyMemoryPool();
  return RunHeadlessOnConsole(std::vector<std::string>(argv + 1, argv + argc));
}
