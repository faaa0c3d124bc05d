#include "fuzz/support/quietbookhub.h"

QuietBookHub* QuietBookHub::Create()
{
    FuzzProgramDirectory in;
    return new QuietBookHub;
}
