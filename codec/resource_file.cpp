#include "codec/resource_file.h"

#include <algorithm>

#include "base/errors.h"
#include "base/text_utils.h"
#include "codec/form_stream_format.h"

namespace lexorin::codec {

namespace {

// DataVersion, MemoryFlags, LanguageId, Version and Characteristics after the name.
constexpr std::size_t kHeaderTail = 16;
constexpr std::size_t kEmptyEntrySize = 32;
constexpr std::uint16_t kFormMemoryFlags = 0x1030;
constexpr std::uint16_t kIdIsNumber = 0xFFFF;

std::size_t Aligned(std::size_t size) {
    return (size + 3) & ~std::size_t{3};
}

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}
void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PadTo4(std::string& out) {
    out.append(Aligned(out.size()) - out.size(), '\0');
}

void PutId(std::string& out, const ResourceId& id) {
    if (id.is_number) {
        Put16(out, kIdIsNumber);
        Put16(out, id.number);
        return;
    }
    for (char byte : id.text) Put16(out, static_cast<unsigned char>(byte));
    Put16(out, 0);
}

// One entry; `out` ends on a 4-byte boundary before and after.
void PutEntry(std::string& out, const Resource& resource) {
    std::string header;
    PutId(header, resource.type);
    PutId(header, resource.name);
    PadTo4(header);
    Put32(header, 0);  // DataVersion
    Put16(header, resource.memory_flags);
    Put16(header, resource.language);
    Put32(header, 0);  // Version
    Put32(header, 0);  // Characteristics
    Put32(out, static_cast<std::uint32_t>(resource.data.size()));
    Put32(out, static_cast<std::uint32_t>(8 + header.size()));
    out += header;
    out += resource.data;
    PadTo4(out);
}

// Reads the numbers and texts of the file, failing with the entry's number when it ends early.
class EntryReader {
  public:
    EntryReader(std::string_view bytes, int entry) : bytes_(bytes), entry_(entry) {}

    std::uint16_t Get16(std::size_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
    }
    std::uint32_t Get32(std::size_t at) const {
        Need(at, 4);
        return static_cast<std::uint32_t>(Get16(at)) | static_cast<std::uint32_t>(Get16(at + 2))
                                                           << 16;
    }
    // A type or name at `at`, which moves past it; it must end before `limit`.
    ResourceId GetId(std::size_t& at, std::size_t limit) const {
        ResourceId id;
        if (Get16(at) == kIdIsNumber) {
            id.number = Get16(at + 2);
            at += 4;
        } else {
            id.is_number = false;
            for (;; at += 2) {
                if (at + 2 > limit) Fail("a name runs past the end of its header");
                std::uint16_t unit = Get16(at);
                if (unit == 0) break;
                if (unit > 0xFF) Fail("a name holds a character beyond U+00FF");
                id.text += static_cast<char>(unit);
            }
            at += 2;
        }
        if (at > limit) Fail("its header is shorter than its type and name");
        return id;
    }
    void Need(std::size_t at, std::size_t count) const {
        if (at > bytes_.size() || bytes_.size() - at < count) Fail("the file ends inside it");
    }
    [[noreturn]] void Fail(const std::string& why) const {
        throw Error("The resource file is damaged at its entry " + std::to_string(entry_) + ": " +
                    why + ".");
    }

  private:
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }

    std::string_view bytes_;
    int entry_;
};

}  // namespace

std::string FormResourceFile(std::string_view class_name, std::string_view stream) {
    std::string out;
    Put32(out, 0);
    Put32(out, kEmptyEntrySize);
    PutId(out, ResourceId{});
    PutId(out, ResourceId{});
    out.append(kHeaderTail, '\0');
    Resource form;
    form.type.number = kResourceTypeRcData;
    form.name.is_number = false;
    form.name.text = upper_case(class_name);
    form.memory_flags = kFormMemoryFlags;
    form.data = std::string(stream);
    PutEntry(out, form);
    return out;
}

bool LooksLikeResourceFile(std::string_view first_bytes) {
    static constexpr char kEmptyEntryStart[] = "\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0";
    return first_bytes.substr(0, 16) == std::string_view(kEmptyEntryStart, 16);
}

std::vector<Resource> ReadResourceFile(std::string_view bytes) {
    if (!LooksLikeResourceFile(bytes.substr(0, 16)))
        throw Error("This is no 32-bit resource file: it does not begin with an empty entry.");
    std::vector<Resource> resources;
    std::size_t at = 0;
    for (int entry = 1; at < bytes.size(); ++entry) {
        EntryReader in(bytes, entry);
        const std::uint32_t data_size = in.Get32(at);
        const std::uint32_t header_size = in.Get32(at + 4);
        if (header_size < kEmptyEntrySize || header_size % 4 != 0)
            in.Fail("its header size " + std::to_string(header_size) + " is impossible");
        const std::size_t header_end = at + header_size;
        in.Need(at, header_size);
        in.Need(header_end, data_size);
        std::size_t pos = at + 8;
        Resource resource;
        resource.type = in.GetId(pos, header_end);
        resource.name = in.GetId(pos, header_end);
        pos = Aligned(pos);
        if (pos + kHeaderTail > header_end) in.Fail("its header is too short for its fields");
        resource.memory_flags = in.Get16(pos + 4);
        resource.language = in.Get16(pos + 6);
        resource.data = std::string(bytes.substr(header_end, data_size));
        // The padding after the last entry's data may be missing.
        at = std::min(Aligned(header_end + data_size), bytes.size());
        if (entry > 1) resources.push_back(std::move(resource));
    }
    return resources;
}

std::string FormStreamOfResourceFile(std::string_view bytes) {
    for (Resource& resource : ReadResourceFile(bytes))
        if (resource.type.is_number && resource.type.number == kResourceTypeRcData &&
            resource.data.compare(0, 4, kSignature) == 0)
            return std::move(resource.data);
    throw Error("The resource file holds no form (an RCDATA resource beginning with TPF0).");
}

}  // namespace lexorin::codec
