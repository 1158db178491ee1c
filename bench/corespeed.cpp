// Times one fixed loop on each processor this program may run on, the best of five rounds,
// and prints "<processor> <milliseconds>" per line. On a virtual machine a processor may run
// far slower than the others for minutes, while the host is busy elsewhere: a benchmark run
// then shows the host, not the program.
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr size_t kBufferBytes = size_t{1} << 20;  // in the processor's own cache
constexpr int kPasses = 64;

// One byte a step, each step a load, an xor and an add: a processor whose core the host
// shares with another busy one runs it slower, where a loop that waits on multiplies would
// hardly notice. The empty statement keeps the compiler from doing many steps at once.
uint64_t Work(const std::vector<uint8_t>& buffer) {
  uint64_t sum = 0;
  for (int pass = 0; pass < kPasses; ++pass)
    for (const uint8_t byte : buffer) {
      sum += byte ^ static_cast<uint8_t>(pass);
      asm volatile("" : "+r"(sum));
    }
  return sum;
}

double BestMilliseconds(const std::vector<uint8_t>& buffer, uint64_t& sink) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    sink += Work(buffer);
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    best = std::min(best, spent.count());
  }
  return best;
}

}  // namespace

int main() {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
    std::perror("corespeed: sched_getaffinity");
    return 1;
  }
  std::vector<uint8_t> buffer(kBufferBytes);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7);
  uint64_t sink = 0;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (!CPU_ISSET(cpu, &allowed)) continue;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) continue;
    std::printf("%d %.1f\n", cpu, BestMilliseconds(buffer, sink));
  }
  // The sum is used, so that the loop is not left out.
  return sink == 42 ? 2 : 0;
}
