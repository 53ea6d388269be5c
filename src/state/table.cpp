#include "state/table.h"

#include <cstdio>
#include <cstdlib>

namespace tsuzuri {

void indexFault(std::int64_t index, std::size_t size) {
    std::fprintf(stderr, "tsuzuri: table index %lld outside 0..%zu\n",
                 static_cast<long long>(index), size - 1);
    std::abort();
}

}  // namespace tsuzuri
