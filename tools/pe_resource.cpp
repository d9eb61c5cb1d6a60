// Walks a PE file's headers and its three-level resource directory (type,
// name, language) to one resource's data. Every field is read through a
// bounds-checked helper; sizes and offsets from the file are never trusted.
#include "pe_resource.h"

#include <string.h>

namespace {

struct Image {
    const unsigned char* bytes;
    size_t size;
};

// Whether [offset, offset + length) lies inside the file, without overflow.
bool Inside(const Image& image, size_t offset, size_t length)
{
    return offset <= image.size && length <= image.size - offset;
}

bool Read16(const Image& image, size_t offset, uint16_t* value)
{
    if (!Inside(image, offset, 2))
        return false;
    *value = (uint16_t)(image.bytes[offset] | (image.bytes[offset + 1] << 8));
    return true;
}

bool Read32(const Image& image, size_t offset, uint32_t* value)
{
    if (!Inside(image, offset, 4))
        return false;
    const unsigned char* b = image.bytes + offset;
    *value = (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
    return true;
}

struct Sections {
    size_t table;     // file offset of the section table
    uint16_t count;
};

// The file offset of length bytes at a relative virtual address, when they
// lie inside one section's raw data.
bool RvaToOffset(const Image& image, const Sections& sections, uint32_t rva, uint32_t length, size_t* offset)
{
    for (uint16_t i = 0; i < sections.count; ++i) {
        size_t header = sections.table + (size_t)i * 40;
        uint32_t virtualAddress, rawSize, rawPointer;
        if (!Read32(image, header + 12, &virtualAddress) || !Read32(image, header + 16, &rawSize) ||
            !Read32(image, header + 20, &rawPointer))
            return false;
        if (rva < virtualAddress || rva - virtualAddress >= rawSize)
            continue;
        uint32_t within = rva - virtualAddress;
        if (length > rawSize - within)
            return false;
        *offset = (size_t)rawPointer + within;
        return Inside(image, *offset, length);
    }
    return false;
}

struct Directory {
    size_t root;       // file offset of the root directory
    size_t extent;     // bytes of the resource section from the root on
};

// Finds the entry of one directory that matches either a name (compared
// with the UTF-16 string the entry points to) or an id. Returns false with
// *damaged set when the directory can't be read.
bool FindEntry(const Image& image, const Directory& directory, size_t at, const char* name, uint16_t id,
               uint32_t* target, bool* damaged)
{
    uint16_t named, numbered;
    if (!Read16(image, at + 12, &named) || !Read16(image, at + 14, &numbered)) {
        *damaged = true;
        return false;
    }
    for (uint32_t i = 0; i < (uint32_t)named + numbered; ++i) {
        uint32_t key, value;
        if (!Read32(image, at + 16 + (size_t)i * 8, &key) || !Read32(image, at + 16 + (size_t)i * 8 + 4, &value)) {
            *damaged = true;
            return false;
        }
        bool isNamed = (key & 0x80000000u) != 0;
        if (name && isNamed) {
            size_t string = directory.root + (key & 0x7FFFFFFFu);
            uint16_t length;
            if ((key & 0x7FFFFFFFu) >= directory.extent || !Read16(image, string, &length) ||
                !Inside(image, string + 2, (size_t)length * 2)) {
                *damaged = true;
                return false;
            }
            if (length != strlen(name))
                continue;
            bool same = true;
            for (uint16_t c = 0; c < length && same; ++c) {
                uint16_t unit;
                Read16(image, string + 2 + (size_t)c * 2, &unit);
                same = unit == (unsigned char)name[c];
            }
            if (!same)
                continue;
        } else if (name || isNamed || key != id) {
            continue;
        }
        *target = value;
        return true;
    }
    return false;
}

}  // namespace

bool LooksLikeExecutable(const unsigned char* file, size_t size)
{
    return size >= 2 && file[0] == 'M' && file[1] == 'Z';
}

const char* FindPeResource(const unsigned char* file, size_t size, const char* typeName, uint16_t id,
                           PeResourceBytes* found)
{
    Image image = {file, size};
    uint32_t peOffset, signature;
    if (!LooksLikeExecutable(file, size) || !Read32(image, 0x3C, &peOffset) || !Read32(image, peOffset, &signature) ||
        signature != 0x00004550)
        return "not a PE file (no PE header)";

    size_t coff = (size_t)peOffset + 4;
    uint16_t sectionCount, optionalSize, magic;
    if (!Read16(image, coff + 2, &sectionCount) || !Read16(image, coff + 16, &optionalSize) ||
        !Read16(image, coff + 20, &magic))
        return "not a PE file (headers cut short)";
    size_t optional = coff + 20;
    size_t directories;
    if (magic == 0x10B)
        directories = 96;
    else if (magic == 0x20B)
        directories = 112;
    else
        return "not a PE file (unknown optional header)";

    uint32_t directoryCount, resourceRva, resourceSize;
    if (!Read32(image, optional + directories - 4, &directoryCount) || directoryCount < 3 ||
        directories + 3 * 8 > optionalSize)
        return "no resources (the header has no resource directory)";
    if (!Read32(image, optional + directories + 16, &resourceRva) ||
        !Read32(image, optional + directories + 20, &resourceSize))
        return "not a PE file (headers cut short)";
    if (resourceRva == 0 || resourceSize == 0)
        return "no resources";

    Sections sections = {optional + optionalSize, sectionCount};
    if (!Inside(image, sections.table, (size_t)sectionCount * 40))
        return "section table outside the file";
    Directory directory;
    if (!RvaToOffset(image, sections, resourceRva, 16, &directory.root))
        return "resource directory outside the file";
    directory.extent = image.size - directory.root;

    // Type, then name, then the first language: the first two levels must
    // lead to subdirectories, the last to a data entry.
    bool damaged = false;
    uint32_t typeEntry, nameEntry, languageEntry;
    if (!FindEntry(image, directory, directory.root, typeName, 0, &typeEntry, &damaged))
        return damaged ? "damaged resource directory" : "no resource of that type";
    if (!(typeEntry & 0x80000000u) || (typeEntry & 0x7FFFFFFFu) >= directory.extent)
        return "damaged resource directory";
    size_t names = directory.root + (typeEntry & 0x7FFFFFFFu);
    if (!FindEntry(image, directory, names, NULL, id, &nameEntry, &damaged))
        return damaged ? "damaged resource directory" : "no resource with that id";
    if (!(nameEntry & 0x80000000u) || (nameEntry & 0x7FFFFFFFu) >= directory.extent)
        return "damaged resource directory";
    size_t languages = directory.root + (nameEntry & 0x7FFFFFFFu);
    uint16_t named, numbered;
    if (!Read16(image, languages + 12, &named) || !Read16(image, languages + 14, &numbered) ||
        named + numbered == 0 || !Read32(image, languages + 16 + 4, &languageEntry))
        return "damaged resource directory";
    if ((languageEntry & 0x80000000u) || languageEntry >= directory.extent)
        return "damaged resource directory";

    uint32_t dataRva, dataSize;
    size_t dataEntry = directory.root + languageEntry;
    if (!Read32(image, dataEntry, &dataRva) || !Read32(image, dataEntry + 4, &dataSize))
        return "damaged resource directory";
    size_t dataOffset;
    if (!RvaToOffset(image, sections, dataRva, dataSize, &dataOffset))
        return "resource data outside the file";
    found->offset = dataOffset;
    found->size = dataSize;
    return NULL;
}
