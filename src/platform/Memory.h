#pragma once

// Makes the threads started from now on allocate from the program's one memory pool, so
// memory that one thread frees serves the others: by default each thread may get a pool of
// its own, and a page a worker read stays in the worker's pool once the crawl is done with it.
void ShareOneMemoryPool();

// Readies the memory pool for reading pages, which allocates and frees blocks of every size
// up to a page's. The pool takes 32 MB at once, backed by huge pages where the system allows,
// and keeps them: a fault then brings in 2 MB rather than 4 KB, where faults are dear, as on
// a virtual machine. Blocks up to 1 MB come from the pool, to be reused rather than handed
// back and faulted in anew.
void ReadyMemoryPool();
