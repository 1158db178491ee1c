#pragma once

// Makes the threads started from now on allocate from the program's one memory pool, so
// memory that one thread frees serves the others: by default each thread may get a pool of
// its own, and a page a worker read stays in the worker's pool once the crawl is done with it.
void ShareOneMemoryPool();
