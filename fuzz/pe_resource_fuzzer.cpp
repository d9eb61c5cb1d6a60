// libFuzzer target: looks for the packed set resource in any bytes taken as
// an executable, as packset does with a setup program, and walks what it
// finds. Under AddressSanitizer, a read past the input is a crash.
#include "packed_set.h"
#include "pe_resource.h"

#include <stddef.h>
#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PeResourceBytes found;
    if (FindPeResource(data, size, "BINARY", 140, &found) != NULL)
        return 0;
    if (found.offset > size || found.size > size - found.offset)
        __builtin_trap();
    PackedCursor cursor;
    BeginPackedWalk(&cursor, data + found.offset, found.size);
    PackedRecord record;
    while (NextPackedRecord(&cursor, &record) == PACKED_STEP_RECORD)
        PackedNameRefusal(record.name, record.nameLength);
    return 0;
}
