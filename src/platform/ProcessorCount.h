#pragma once
// How many processors this process may run on: the default number of search threads.

namespace hovrak {

// The processors of the process's affinity mask (a container or taskset may allow
// fewer than the machine has); at least 1.
int ProcessorCount();

}  // namespace hovrak
