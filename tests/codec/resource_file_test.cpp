// The translated form's resource file: its layout byte for byte, read back, and refused when
// damaged.
#include "codec/resource_file.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "codec/stream_bytes.h"

namespace lexorin::codec {
namespace {

using bytes::Le;

// The empty entry every 32-bit resource file begins with, spelt out.
const std::string kEmptyEntry =
    Le(0, 4) + Le(32, 4) + "\xFF\xFF" + Le(0, 2) + "\xFF\xFF" + Le(0, 2) + std::string(16, '\0');

std::string Utf16(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += std::string(1, c) + '\0';
    return out;
}

TEST(ResourceFile, OneFormResourceSpeltOut) {
    // A name of 6 letters takes 14 bytes with its 0 unit, padded to 16; 7 bytes of data to 8.
    const std::string stream = "TPF0abc";
    const std::string header = "\xFF\xFF" + Le(10, 2) + Utf16("TFORM1") + std::string(2, '\0') +
                               std::string(2, '\0') + Le(0, 4) + Le(0x1030, 2) + Le(0, 2) +
                               Le(0, 4) + Le(0, 4);
    const std::string expected = kEmptyEntry + Le(7, 4) +
                                 Le(static_cast<std::uint32_t>(8 + header.size()), 4) + header +
                                 stream + std::string(1, '\0');
    EXPECT_EQ(FormResourceFile("TForm1", stream), expected);
    EXPECT_EQ(8 + header.size(), 44u);
}

TEST(ResourceFile, EveryPaddingReadsBackToTheSameResource) {
    // Names of 1 to 4 letters and data of 4 to 7 bytes meet every padding of both.
    for (std::string name : {"T", "TA", "TAb", "TAbc", "TGreeterForm"}) {
        for (std::string stream : {"TPF0", "TPF0x", "TPF0xy", "TPF0xyz"}) {
            SCOPED_TRACE(name + " " + stream);
            const std::string file = FormResourceFile(name, stream);
            EXPECT_EQ(file.size() % 4, 0u);
            EXPECT_TRUE(LooksLikeResourceFile(file));
            const std::vector<Resource> resources = ReadResourceFile(file);
            ASSERT_EQ(resources.size(), 1u);
            const Resource& form = resources[0];
            EXPECT_TRUE(form.type.is_number);
            EXPECT_EQ(form.type.number, kResourceTypeRcData);
            EXPECT_FALSE(form.name.is_number);
            std::string upper = name;
            for (char& c : upper)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            EXPECT_EQ(form.name.text, upper);
            EXPECT_EQ(form.memory_flags, 0x1030);
            EXPECT_EQ(form.language, 0);
            EXPECT_EQ(form.data, stream);
            EXPECT_EQ(FormStreamOfResourceFile(file), stream);
            // The entry after the empty one starts at 32, its data at 32 + HeaderSize, both on
            // 4-byte boundaries.
            const std::uint32_t header_size = static_cast<unsigned char>(file[36]);
            EXPECT_EQ(header_size % 4, 0u);
            EXPECT_EQ(file.substr(32 + header_size, stream.size()), stream);
        }
    }
}

TEST(ResourceFile, TheFormIsFoundAmongOtherResources) {
    // An icon (type 3) named by a number, then a string-named RCDATA that is no form, then the
    // form: as a resource compiler may write them, without padding after the last data.
    auto entry = [](const std::string& type_and_name, const std::string& data) {
        const std::string header = type_and_name + std::string(16, '\0');
        std::string out = Le(static_cast<std::uint32_t>(data.size()), 4) +
                          Le(static_cast<std::uint32_t>(8 + header.size()), 4) + header + data;
        return out;
    };
    std::string file = kEmptyEntry;
    file += entry("\xFF\xFF" + Le(3, 2) + "\xFF\xFF" + Le(1, 2), "icon");
    file +=
        entry("\xFF\xFF" + Le(10, 2) + Utf16("DATA") + std::string(2, '\0') + std::string(2, '\0'),
              "just data");
    file += std::string(3, '\0');  // "just data" padded to 12 bytes
    file += entry("\xFF\xFF" + Le(10, 2) + Utf16("TF") + std::string(4, '\0'), "TPF0form");
    const std::vector<Resource> resources = ReadResourceFile(file);
    ASSERT_EQ(resources.size(), 3u);
    EXPECT_EQ(resources[0].type.number, 3);
    EXPECT_EQ(resources[0].name.number, 1);
    EXPECT_EQ(resources[1].name.text, "DATA");
    EXPECT_EQ(FormStreamOfResourceFile(file), "TPF0form");
}

TEST(ResourceFile, DamagedFilesAreRefusedWithTheReason) {
    const std::string good = FormResourceFile("TForm1", "TPF0abc");
    auto reason = [](const std::string& bytes) -> std::string {
        try {
            FormStreamOfResourceFile(bytes);
        } catch (const Error& e) {
            return e.what();
        }
        return "no failure";
    };
    // Cut anywhere inside the form's entry (only the padding after the data may be missing).
    for (std::size_t size : {33u, 40u, 60u, 82u})
        EXPECT_EQ(reason(good.substr(0, size)),
                  "The resource file is damaged at its entry 2: the file ends inside it.")
            << size;
    EXPECT_EQ(reason(good.substr(0, 12)),
              "This is no 32-bit resource file: it does not begin with an empty entry.");
    EXPECT_EQ(reason(good.substr(0, 20)),
              "The resource file is damaged at its entry 1: the file ends inside it.");
    EXPECT_EQ(reason("object Form1: TForm1\r\nend\r\n"),
              "This is no 32-bit resource file: it does not begin with an empty entry.");
    EXPECT_EQ(reason(kEmptyEntry),
              "The resource file holds no form (an RCDATA resource beginning with TPF0).");

    std::string bad_header = good;
    bad_header[36] = 12;  // HeaderSize below the 32 bytes of any header
    EXPECT_EQ(reason(bad_header),
              "The resource file is damaged at its entry 2: its header size 12 is impossible.");
    std::string long_name = good;
    long_name[36] = 36;  // too small for a name one letter longer and the fields after it
    long_name.replace(32 + 12, 14, Utf16("TFORM12"));
    EXPECT_EQ(reason(long_name),
              "The resource file is damaged at its entry 2: its header is too short for its "
              "fields.");
    std::string wide_name = good;
    wide_name[32 + 13] = 1;  // the name's first unit is U+0154
    EXPECT_EQ(reason(wide_name),
              "The resource file is damaged at its entry 2: a name holds a character beyond "
              "U+00FF.");
    std::string huge = good;
    huge[32 + 3] = '\x7F';  // DataSize far beyond the file
    EXPECT_EQ(reason(huge),
              "The resource file is damaged at its entry 2: the file ends inside it.");
}

}  // namespace
}  // namespace lexorin::codec
