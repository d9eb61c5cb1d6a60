// libFuzzer target: walks any bytes as a packed file set, and judges every
// record name, as the setup program and packset do. Under AddressSanitizer,
// a read one byte past the input is a crash.
#include "packed_set.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PackedCursor cursor;
    BeginPackedWalk(&cursor, data, size);
    PackedRecord record;
    size_t walked = 0;
    while (NextPackedRecord(&cursor, &record) == PACKED_STEP_RECORD) {
        // What the reader hands out must lie inside the input.
        if (record.name < (const char*)data || record.data + record.size > data + size ||
            record.name[record.nameLength] != '\0' || strlen(record.name) != record.nameLength)
            __builtin_trap();
        PackedNameRefusal(record.name, record.nameLength);
        walked += record.nameLength + 5 + record.size;
    }
    if (walked > size)
        __builtin_trap();
    return 0;
}
