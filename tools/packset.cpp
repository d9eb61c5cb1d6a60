// packset: the packing tool for the setup program's file set. Creates a set
// from files, lists one, and extracts one on the build machine, walking it
// with the same reader and the same name rules as the setup program.
#include "packed_set.h"
#include "pe_resource.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: packset create OUT FILE...   pack FILEs, in this order, into the set OUT\n"
    "       packset list SET             one line per record: offset, size, name\n"
    "       packset extract SET DIR      write every record as a file into DIR\n"
    "       packset verify SET DIR       compare every record with the file in DIR\n"
    "       packset --help\n"
    "SET is a packed set, or a built setup program (setup.exe of either bitness),\n"
    "whose \"BINARY\" 140 resource is read straight from the file, without running it.\n"
    "Each record is named by its file's base name. Names must be plain Windows\n"
    "file names; a set or name that breaks the rules is refused with exit status 1.\n";

const uint16_t kPackedSetResourceId = 140;

int Fail(const std::string& message)
{
    std::cerr << "packset: " << message << "\n";
    return 1;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = path + ": cannot read: " + std::strerror(errno);
        return false;
    }
    return true;
}

// Writes to a temporary file beside the target and renames it into place, so
// a failure never leaves a half-written file under the target's name.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error)
{
    std::string temporary = path + ".partial";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) {
        *error = path + ": cannot create: " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    int writeErrno = errno;
    bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        *error = path + ": cannot write: " + std::strerror(written ? errno : writeErrno);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = path + ": cannot rename into place: " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void AppendRecord(std::string* set, const std::string& name, const std::string& data)
{
    set->append(name);
    set->push_back('\0');
    uint32_t size = static_cast<uint32_t>(data.size());
    for (int i = 0; i < PACKED_SIZE_FIELD_BYTES; ++i)
        set->push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    set->append(data);
}

int Create(const std::string& out, const std::vector<std::string>& files)
{
    std::string set;
    for (const std::string& file : files) {
        std::string name = BaseName(file);
        if (const char* refusal = PackedNameRefusal(name.data(), name.size()))
            return Fail(file + ": refused as a record name \"" + name + "\": " + refusal);
        std::string data, error;
        if (!ReadWholeFile(file, &data, &error))
            return Fail(error);
        if (data.size() > UINT32_MAX)
            return Fail(file + ": larger than a record can hold (4 GiB - 1 bytes)");
        AppendRecord(&set, name, data);
    }
    set.append(PACKED_END_MARKER_BYTES, '\0');
    std::string error;
    if (!WriteWholeFile(out, set, &error))
        return Fail(error);
    return 0;
}

// The set's bytes: the whole file, or the packed set resource of a setup
// program. *offset is where they start in the file, for messages.
bool LoadSet(const std::string& path, std::string* set, size_t* offset, std::string* error)
{
    std::string file;
    if (!ReadWholeFile(path, &file, error))
        return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file.data());
    *offset = 0;
    if (!LooksLikeExecutable(bytes, file.size())) {
        *set = std::move(file);
        return true;
    }
    PeResourceBytes found;
    if (const char* problem = FindPeResource(bytes, file.size(), "BINARY", kPackedSetResourceId, &found)) {
        *error = path + ": " + problem + " (looking for the \"BINARY\" 140 resource)";
        return false;
    }
    *offset = found.offset;
    *set = file.substr(found.offset, found.size);
    return true;
}

std::string DamageMessage(const std::string& setPath, const PackedCursor& cursor, size_t setOffset)
{
    std::ostringstream message;
    message << setPath << ": damaged at offset " << cursor.damageOffset << " of the set";
    if (setOffset)
        message << " (file offset " << setOffset + cursor.damageOffset << ")";
    message << ": " << cursor.damage;
    return message.str();
}

// A set's bytes and its records up to the end marker, or up to the damage
// that stopped the walk (then damage says what and where).
struct WalkedSet {
    std::string bytes;
    std::vector<PackedRecord> records;
    std::string damage;
};

bool WalkSet(const std::string& setPath, WalkedSet* set, std::string* error)
{
    size_t setOffset;
    if (!LoadSet(setPath, &set->bytes, &setOffset, error))
        return false;
    PackedCursor cursor;
    BeginPackedWalk(&cursor, set->bytes.data(), set->bytes.size());
    PackedRecord record;
    PackedStep step;
    while ((step = NextPackedRecord(&cursor, &record)) == PACKED_STEP_RECORD)
        set->records.push_back(record);
    if (step == PACKED_STEP_DAMAGED)
        set->damage = DamageMessage(setPath, cursor, setOffset);
    return true;
}

std::string NameOf(const PackedRecord& record)
{
    return std::string(record.name, record.nameLength);
}

std::string DataOf(const PackedRecord& record)
{
    return std::string(reinterpret_cast<const char*>(record.data), record.size);
}

// Lists what it could read, then says where the set is damaged.
int List(const std::string& setPath)
{
    WalkedSet set;
    std::string error;
    if (!WalkSet(setPath, &set, &error))
        return Fail(error);
    unsigned long long dataBytes = 0;
    for (const PackedRecord& record : set.records) {
        std::cout << record.offset << " " << record.size << " " << NameOf(record) << "\n";
        dataBytes += record.size;
    }
    if (!set.damage.empty())
        return Fail(set.damage);
    std::cout << set.records.size() << " records, " << dataBytes << " bytes of data, "
              << set.bytes.size() << " bytes in the set\n";
    return 0;
}

// Writes what the setup program would: every record before any damage,
// except those whose names it refuses.
int Extract(const std::string& setPath, const std::string& dir)
{
    WalkedSet set;
    std::string error;
    if (!WalkSet(setPath, &set, &error))
        return Fail(error);
    int status = 0;
    for (const PackedRecord& record : set.records) {
        if (const char* refusal = PackedNameRefusal(record.name, record.nameLength)) {
            status = Fail(setPath + ": record at offset " + std::to_string(record.offset) +
                          " not written: \"" + NameOf(record) + "\": " + refusal);
            continue;
        }
        if (!WriteWholeFile(dir + "/" + NameOf(record), DataOf(record), &error))
            status = Fail(error);
    }
    if (!set.damage.empty())
        return Fail(set.damage);
    return status;
}

// Compares the files in DIR with what extracting the set would leave there:
// for a name packed twice, the later record.
int Verify(const std::string& setPath, const std::string& dir)
{
    WalkedSet set;
    std::string error;
    if (!WalkSet(setPath, &set, &error))
        return Fail(error);
    if (!set.damage.empty())
        return Fail(set.damage);
    const std::vector<PackedRecord>& records = set.records;
    int differences = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string name = NameOf(records[i]);
        bool replacedLater = false;
        for (size_t j = i + 1; j < records.size() && !replacedLater; ++j)
            replacedLater = NameOf(records[j]) == name;
        if (replacedLater)
            continue;
        std::string data = DataOf(records[i]), onDisk;
        std::string path = dir + "/" + name;
        const char* difference = nullptr;
        if (PackedNameRefusal(records[i].name, records[i].nameLength))
            difference = "refused name";
        else if (!std::ifstream(path, std::ios::binary) || !ReadWholeFile(path, &onDisk, &error))
            difference = "missing";
        else if (onDisk.size() != data.size())
            difference = "different size";
        else if (onDisk != data)
            difference = "different content";
        if (difference) {
            std::cout << difference << ": " << name;
            if (std::string(difference) == "different size")
                std::cout << " (" << onDisk.size() << " bytes, packed " << data.size() << ")";
            std::cout << "\n";
            ++differences;
        }
    }
    if (differences)
        return 1;
    std::cout << records.size() << " records match " << dir << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Fail(std::string("no command given\n") + kUsage);
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "create" && args.size() >= 2)
        return Create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    if (command == "list" && args.size() == 2)
        return List(args[1]);
    if (command == "extract" && args.size() == 3)
        return Extract(args[1], args[2]);
    if (command == "verify" && args.size() == 3)
        return Verify(args[1], args[2]);
    return Fail("unknown command or wrong arguments: " + command + "\n" + kUsage);
}
