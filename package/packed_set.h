// The packed file set: the one description of the format, and a reader that
// walks its records over a byte range. Shared by the setup program and the
// host tools; it makes no window, file or resource calls of its own, so host
// tests and fuzzers can drive it over any buffer.
//
// A set is records back to back from its first byte, with no header, gap or
// alignment, followed by an end marker:
//
//   name    n non-zero bytes (ANSI), then one zero byte      n + 1 bytes
//   size    unsigned 32-bit, little-endian, any alignment    4 bytes
//   data    the file's content                               size bytes
//   ...     next record
//   end     four zero bytes where the next name would begin
//
// The walk stops at the first empty name: only the first zero byte of the
// end marker is ever read.
#ifndef PACKAGE_PACKED_SET_H
#define PACKAGE_PACKED_SET_H

#include <stddef.h>
#include <stdint.h>

#define PACKED_SIZE_FIELD_BYTES 4
#define PACKED_END_MARKER_BYTES 4

// One record, pointing into the set's own bytes. The name is not followed by
// a zero byte inside this struct's view unless the set holds one, which the
// reader has checked: name[nameLength] is always the name's zero byte.
struct PackedRecord {
    size_t offset;              // of the record's first byte in the set
    const char* name;
    size_t nameLength;
    uint32_t size;
    const unsigned char* data;
};

enum PackedStep {
    PACKED_STEP_RECORD,   // *record holds the next record
    PACKED_STEP_END,      // the end marker was reached
    PACKED_STEP_DAMAGED   // the set is damaged at cursor->damageOffset
};

// Where a walk stands. Set up with BeginPackedWalk; the walk never reads
// outside [base, base + length).
struct PackedCursor {
    const unsigned char* base;
    size_t length;
    size_t offset;
    const char* damage;       // what is wrong, once a step reported damage
    size_t damageOffset;      // where in the set it is wrong
};

void BeginPackedWalk(PackedCursor* cursor, const void* base, size_t length);

// Reads the record at the cursor and moves past it. Once a step reports the
// end or damage, every later step reports the same again.
PackedStep NextPackedRecord(PackedCursor* cursor, PackedRecord* record);

// Why a record name may not be written as a file, or NULL when it is a plain
// file name: no folder part, no character Windows forbids in names, not "."
// or "..", no reserved device name, and nothing Windows would silently
// change (a trailing dot or space). Bytes above 127 are allowed as they are.
const char* PackedNameRefusal(const char* name, size_t length);

#endif
