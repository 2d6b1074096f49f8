#include "codec/form_conversion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/errors.h"
#include "codec/form_errors.h"
#include "codec/form_text_check.h"
#include "codec/resource_file.h"
#include "support/golden_file_gtest.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using lexorin::testing::MatchesGoldenFile;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

std::string Golden(const std::string& name, const std::string& file) {
    return read_test_file(LEXORIN_TEST_DATA "/forms/" + name + "/" + file);
}

std::size_t FileCount(const TempDir& dir) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++count;
    return count;
}

TEST(FormConversion, BinaryFormBecomesText) {
    TempDir dir;
    write_test_file(dir.file("Unit1.dfm"), Golden("collections", "form.dfm"));
    write_test_file(dir.file("Tempform.txt"), "old text that must go");
    EXPECT_FALSE(FormFileToText(dir.file("Unit1.dfm"), dir.file("Tempform.txt")));
    EXPECT_TRUE(MatchesGoldenFile(read_test_file(dir.file("Tempform.txt")),
                                  LEXORIN_TEST_DATA "/forms/collections/form.txt"));
}

TEST(FormConversion, TextFormPassesThroughUnchanged) {
    TempDir dir;
    std::string text = "object Form1: TForm1\r\n  Caption = 'x'\r\nend\r\n";
    for (const std::string& content : {text, std::string(), std::string("\xFF\x0B rest")}) {
        write_test_file(dir.file("Unit1.dfm"), content);
        EXPECT_TRUE(FormFileToText(dir.file("Unit1.dfm"), dir.file("Tempform.txt")));
        EXPECT_EQ(read_test_file(dir.file("Tempform.txt")), content);
    }
}

TEST(FormConversion, BrokenBinaryFormFailsAndKeepsTheTarget) {
    TempDir dir;
    std::string binary = Golden("strings", "form.dfm");
    write_test_file(dir.file("Tempform.txt"), "older text");
    for (const std::string& broken : {binary.substr(0, binary.size() / 2), binary.substr(0, 3),
                                      std::string("\xFF\x0A\x00X\x00\x30\x10\0\0\0\0TPF1", 15),
                                      std::string("TPF0\x06TForm1")}) {
        write_test_file(dir.file("Unit1.dfm"), broken);
        EXPECT_THROW(FormFileToText(dir.file("Unit1.dfm"), dir.file("Tempform.txt")), EFilerError);
        EXPECT_EQ(read_test_file(dir.file("Tempform.txt")), "older text");
        EXPECT_EQ(FileCount(dir), 2u) << "a temporary file was left behind";
    }
    write_test_file(dir.file("Unit1.dfm"), binary.substr(0, 40));
    std::filesystem::remove(dir.file("Tempform.txt"));
    try {
        FormFileToText(dir.file("Unit1.dfm"), dir.file("Tempform.txt"));
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.message(), "Stream-Read-Fehler");
        EXPECT_EQ(e.file(), dir.file("Unit1.dfm"));
        EXPECT_EQ(e.where(), "byte offset 40");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("Tempform.txt")));
}

TEST(FormConversion, UnreadableFilesAreReported) {
    TempDir dir;
    EXPECT_THROW(FormFileToText(dir.file("missing.dfm"), dir.file("out.txt")), Error);
    EXPECT_THROW(FormFileToText(dir.path(), dir.file("out.txt")), Error);
    write_test_file(dir.file("a.dfm"), Golden("basic", "form.dfm"));
    EXPECT_THROW(FormFileToText(dir.file("a.dfm"), dir.file("no/such/dir/out.txt")), Error);
    EXPECT_THROW(TextFileToForm(dir.file("missing.txt"), dir.file("a.tra"), false), Error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
}

// A pipe would block the conversion and /dev/zero would fill the disk: both are refused before
// they are opened, in either direction, and the target is never created.
TEST(FormConversion, SpecialFilesAreRefusedBeforeReading) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.dfm").c_str(), 0644), 0);
    auto message_of = [](auto&& convert) {
        try {
            convert();
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string out = dir.file("out.txt");
    EXPECT_EQ(
        message_of([&] { FormFileToText(dir.file("pipe.dfm"), out); }),
        "Cannot open file " + dir.file("pipe.dfm") + ": it is a pipe (FIFO), not a regular file");
    EXPECT_EQ(
        message_of([&] { TextFileToForm(dir.file("pipe.dfm"), out, false); }),
        "Cannot open file " + dir.file("pipe.dfm") + ": it is a pipe (FIFO), not a regular file");
    EXPECT_EQ(message_of([&] { FormFileToText("/dev/zero", out); }),
              "Cannot open file /dev/zero: it is a device, not a regular file");
    EXPECT_EQ(message_of([&] { TextFileToForm("/dev/zero", out, true); }),
              "Cannot open file /dev/zero: it is a device, not a regular file");
    EXPECT_EQ(message_of([&] { FormFileToText(dir.path(), out); }),
              "Cannot open file " + dir.path() + ": it is a directory");
    EXPECT_EQ(message_of([&] { TextFileToForm(dir.path(), out, false); }),
              "Cannot open file " + dir.path() + ": it is a directory");
    EXPECT_FALSE(std::filesystem::exists(out));
}

// The text made in memory is the one written to a file: the same text, kind, codes and failure
// for binary forms, text forms, translated forms (resource files), broken and special files.
TEST(FormConversion, TextInMemoryEqualsTheTextFile) {
    TempDir dir;
    const std::string binary = Golden("later_codes", "form.dfm");
    const std::string resource = FormResourceFile("TFORM1", binary.substr(binary.find("TPF0")));
    const std::string text = "object Form1: TForm1\r\n  Caption = 'x'\r\nend\r\n";
    for (const std::string& content :
         {binary, Golden("collections", "form.dfm"), resource, text, std::string(),
          binary.substr(0, 40), std::string("TPF0\x06TForm1"), resource.substr(0, 60)}) {
        const std::string form = dir.file("Unit1.dfm");
        write_test_file(form, content);
        std::string file_failure, memory_failure;
        FormStreamCodes file_codes, memory_codes;
        bool was_text = false;
        FormFileText in_memory;
        try {
            was_text = FormFileToText(form, dir.file("out.txt"), &file_codes);
        } catch (const Error& e) {
            file_failure = e.what();
        }
        try {
            in_memory = ReadFormFileAsText(form, &memory_codes);
        } catch (const Error& e) {
            memory_failure = e.what();
        }
        EXPECT_EQ(memory_failure, file_failure);
        if (!file_failure.empty()) continue;
        EXPECT_EQ(in_memory.text, read_test_file(dir.file("out.txt")));
        EXPECT_EQ(in_memory.was_text, was_text);
        EXPECT_EQ(memory_codes.object_flags, file_codes.object_flags);
        EXPECT_EQ(memory_codes.values, file_codes.values);
    }
    try {
        ReadFormFileAsText("/dev/zero");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot open file /dev/zero: it is a device, not a regular file");
    }
    EXPECT_THROW(ReadFormFileAsText(dir.file("missing.dfm")), Error);
}

TEST(FormConversion, AFormTextInMemoryIsCheckedAsItsFileIs) {
    TempDir dir;
    for (const std::string& text :
         {std::string("object Form1: TForm1\r\n  Caption = 'x'\r\nend\r\n"),
          std::string("not a form"), std::string("object Form1: TForm1\r\n  Caption = 'x")}) {
        write_test_file(dir.file("form.lfm"), text);
        std::string file_failure, memory_failure;
        try {
            CheckFormTextFile(dir.file("form.lfm"));
        } catch (const EParserError& e) {
            file_failure = e.what();
        }
        try {
            CheckFormText(text);
        } catch (const EParserError& e) {
            memory_failure = e.what();
        }
        EXPECT_EQ(memory_failure, file_failure) << text;
    }
}

TEST(FormConversion, TextBecomesBinaryForm) {
    TempDir dir;
    write_test_file(dir.file("Tempform.txt"), Golden("values", "form.txt"));
    TextFileToForm(dir.file("Tempform.txt"), dir.file("Unit1.tra"), false);
    EXPECT_TRUE(MatchesGoldenFile(read_test_file(dir.file("Unit1.tra")),
                                  LEXORIN_TEST_DATA "/forms/values/form.dfm"));
}

TEST(FormConversion, TextFormIsWrittenBackAsText) {
    TempDir dir;
    std::string text = "object Form1: TForm1\r\n  Caption = 'Ja'\r\nend\r\n";
    write_test_file(dir.file("Tempform.txt"), text);
    TextFileToForm(dir.file("Tempform.txt"), dir.file("Unit1.tra"), true);
    EXPECT_EQ(read_test_file(dir.file("Unit1.tra")), text);
}

TEST(FormConversion, BadTextKeepsAnOlderFormFile) {
    TempDir dir;
    write_test_file(dir.file("Unit1.tra"), "older translation");
    write_test_file(dir.file("Tempform.txt"),
                    "object Form1: TForm1\r\n  Caption = 'l'usine'\r\nend\r\n");
    try {
        TextFileToForm(dir.file("Tempform.txt"), dir.file("Unit1.tra"), false);
        FAIL();
    } catch (const EParserError& e) {
        EXPECT_EQ(e.message(),
                  "Ung\xFC"
                  "ltige Stringkonstante in Zeile 2");
        EXPECT_EQ(e.file(), dir.file("Tempform.txt"));
        EXPECT_EQ(e.where(), "line 2");
    }
    EXPECT_EQ(read_test_file(dir.file("Unit1.tra")), "older translation");
    EXPECT_EQ(FileCount(dir), 2u) << "a temporary file was left behind";
    // Without an older file, none appears: never an empty or partial target.
    std::filesystem::remove(dir.file("Unit1.tra"));
    EXPECT_THROW(TextFileToForm(dir.file("Tempform.txt"), dir.file("Unit1.tra"), false),
                 EParserError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Unit1.tra")));
}

TEST(FormConversion, LooksLikeBinaryForm) {
    EXPECT_TRUE(LooksLikeBinaryForm(std::string("\xFF\x0A\x00", 3)));
    EXPECT_TRUE(LooksLikeBinaryForm("TPF0"));
    EXPECT_FALSE(LooksLikeBinaryForm("\xFF\x0A"));
    EXPECT_FALSE(LooksLikeBinaryForm("object"));
    EXPECT_FALSE(LooksLikeBinaryForm(""));
}

}  // namespace
}  // namespace lexorin::codec
