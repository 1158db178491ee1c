#include "platform/Memory.h"

#include <malloc.h>

void ShareOneMemoryPool() { mallopt(M_ARENA_MAX, 1); }
