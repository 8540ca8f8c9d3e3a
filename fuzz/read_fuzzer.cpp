// Fuzz target: the bytes read as a GEDCOM file, from memory and from a file (fuzz_inputs.h).

#include <cstddef>
#include <cstdint>

#include "fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    arbolix::fuzz::AbortOnFaults(
        arbolix::fuzz::ReadInput({reinterpret_cast<const char*>(data), size}));
    return 0;
}
