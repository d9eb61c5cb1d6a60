// Finds a resource's bytes inside a Windows executable's file image, on any
// OS, without loading or running it. Pure: it reads only the byte range it
// is given and checks every offset against it, so a damaged or hostile
// file can't make it read outside.
#ifndef TOOLS_PE_RESOURCE_H
#define TOOLS_PE_RESOURCE_H

#include <stddef.h>
#include <stdint.h>

struct PeResourceBytes {
    size_t offset;   // of the resource's first byte in the file
    size_t size;
};

// True when the bytes begin like an executable ("MZ").
bool LooksLikeExecutable(const unsigned char* file, size_t size);

// Finds the resource of the named type (such as "BINARY") and numeric id,
// in its first language. Returns NULL and fills *found, or returns what is
// wrong: not a PE file, no such resource, a damaged resource directory, or
// an offset outside the file.
const char* FindPeResource(const unsigned char* file, size_t size, const char* typeName, uint16_t id,
                           PeResourceBytes* found);

#endif
