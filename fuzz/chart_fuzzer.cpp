// Fuzz target: the bytes read as a GEDCOM file, then charts computed, laid out and drawn in every
// mode and cousin setting (fuzz_inputs.h).

#include <cstddef>
#include <cstdint>

#include "fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    arbolix::fuzz::AbortOnFaults(
        arbolix::fuzz::ChartInput({reinterpret_cast<const char*>(data), size}));
    return 0;
}
