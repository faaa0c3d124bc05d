// libFuzzer's set-up for the targets that need nothing but a core application: linked into a
// target instead of a LLVMFuzzerInitialize of its own.
#include "fuzz/support/fuzzapplication.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}
