// libFuzzer entry of one target; MERLOX_FUZZ_TARGET names its function.
#include "targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return MERLOX_FUZZ_TARGET(data, size);
}
