// Walks the records of a packed file set over a byte range, and judges
// whether a record's name is a plain file name. Pure: no window, file or
// resource calls. Every read is checked against the range first, so a
// damaged set can't make the walk read past its end.
#include "packed_set.h"

#include <string.h>

void BeginPackedWalk(PackedCursor* cursor, const void* base, size_t length)
{
    cursor->base = (const unsigned char*)base;
    cursor->length = base ? length : 0;
    cursor->offset = 0;
    cursor->damage = NULL;
    cursor->damageOffset = 0;
}

static PackedStep ReportDamage(PackedCursor* cursor, size_t at, const char* what)
{
    cursor->damage = what;
    cursor->damageOffset = at;
    cursor->offset = cursor->length;
    return PACKED_STEP_DAMAGED;
}

PackedStep NextPackedRecord(PackedCursor* cursor, PackedRecord* record)
{
    if (cursor->damage)
        return PACKED_STEP_DAMAGED;

    size_t start = cursor->offset;
    size_t left = cursor->length - start;
    if (left == 0)
        return ReportDamage(cursor, start, "the set ends without its end marker");

    const unsigned char* at = cursor->base + start;
    if (at[0] == 0)
        return PACKED_STEP_END;  // stays here: later steps see the end again

    const unsigned char* nameEnd = (const unsigned char*)memchr(at, 0, left);
    if (!nameEnd)
        return ReportDamage(cursor, start, "a name runs to the end of the set without its zero byte");

    size_t nameLength = (size_t)(nameEnd - at);
    size_t sizeOffset = nameLength + 1;
    if (left - sizeOffset < PACKED_SIZE_FIELD_BYTES)
        return ReportDamage(cursor, start + sizeOffset, "a size field runs past the end of the set");

    // Byte by byte: the field may begin at any offset.
    const unsigned char* s = at + sizeOffset;
    uint32_t size = (uint32_t)s[0] | ((uint32_t)s[1] << 8) | ((uint32_t)s[2] << 16) | ((uint32_t)s[3] << 24);

    size_t dataOffset = sizeOffset + PACKED_SIZE_FIELD_BYTES;
    if (left - dataOffset < size)
        return ReportDamage(cursor, start + sizeOffset, "a record's data runs past the end of the set");

    record->offset = start;
    record->name = (const char*)at;
    record->nameLength = nameLength;
    record->size = size;
    record->data = at + dataOffset;
    cursor->offset = start + dataOffset + size;
    return PACKED_STEP_RECORD;
}

static int EqualsIgnoringCase(const char* a, const char* upper, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
        if (c != upper[i])
            return 0;
    }
    return 1;
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and LPT1-9 open a device
// instead of a file, with any extension: "nul.txt" is the null device too.
static int IsReservedDeviceName(const char* name, size_t length)
{
    const char* dot = (const char*)memchr(name, '.', length);
    size_t stem = dot ? (size_t)(dot - name) : length;
    // Windows ignores spaces before the extension: "CON .txt" is CON.
    while (stem > 0 && name[stem - 1] == ' ')
        --stem;

    static const char* const plain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (size_t i = 0; i < sizeof plain / sizeof plain[0]; ++i)
        if (stem == strlen(plain[i]) && EqualsIgnoringCase(name, plain[i], stem))
            return 1;

    // COM1 to COM9 and LPT1 to LPT9, and with the superscript digits 1, 2
    // and 3 of Windows-1252 (bytes 185, 178, 179), which Windows takes the
    // same way.
    unsigned char digit = stem == 4 ? (unsigned char)name[3] : 0;
    int isPortDigit = (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    return isPortDigit && (EqualsIgnoringCase(name, "COM", 3) || EqualsIgnoringCase(name, "LPT", 3));
}

const char* PackedNameRefusal(const char* name, size_t length)
{
    if (length == 0)
        return "the name is empty";
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)name[i];
        if (c == '\\' || c == '/' || c == ':')
            return "the name has a folder or drive part";
        if (c < 32 || strchr("<>\"|?*", c))
            return "the name holds a character Windows forbids in file names";
    }
    if ((length == 1 && name[0] == '.') || (length == 2 && name[0] == '.' && name[1] == '.'))
        return "the name is \".\" or \"..\"";
    if (name[length - 1] == '.' || name[length - 1] == ' ')
        return "the name ends with a dot or a space, which Windows would drop";
    if (IsReservedDeviceName(name, length))
        return "the name is a reserved device name";
    return NULL;
}
