#include "platform/Memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

void ShareOneMemoryPool() { mallopt(M_ARENA_MAX, 1); }

void ReadyMemoryPool() {
  constexpr size_t kReserve = size_t{32} << 20;
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  // A block from the pool, and so larger than what is left in it, makes the pool grow by the
  // reserve, which is held from that block's start.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TOP_PAD, kReserve);
  void* block = malloc(1 << 20);
  if (block == nullptr) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
  madvise(reinterpret_cast<void*>(start), kReserve - kHugePage, MADV_HUGEPAGE);
  free(block);
  mallopt(M_TOP_PAD, 128 << 10);
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  // Trimming the reserve would end its huge pages: the pool shrinks only past it.
  mallopt(M_TRIM_THRESHOLD, kReserve + (8 << 20));
}
