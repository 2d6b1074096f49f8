// Form stream conversion, binary -> text and text -> binary, on one generated large form (several
// MB) and on many small ones. The forms are generated here, never stored.
//
// Besides the benchmarks, the program is the driver of bench/form_conversion_vs_fpc.sh:
//   form_conversion_bench --generate DIR
//     writes DIR/large.dfm, DIR/large.txt and DIR/small/NNNN.dfm, .txt
//   form_conversion_bench --convert res2txt|txt2res LIST REPEAT
//     converts file to file, REPEAT times over LIST, whose lines alternate input and output path
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "codec/byte_streams.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"

namespace {

using lexorin::codec::FormResourceToText;
using lexorin::codec::FormTextToResource;

constexpr int kLargeObjects = 12000;
constexpr int kSmallForms = 400;
constexpr int kSmallObjects = 12;

// A small deterministic generator, so every run converts the same forms.
class Numbers {
  public:
    explicit Numbers(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint32_t state_;
};

const char* const kWords[] = {"Open",
                              "file",
                              "Save",
                              "the",
                              "project",
                              "L'usine",
                              "caf\xE9",
                              "Gr\xFC\xDF"
                              "e",
                              "width",
                              "Cancel",
                              "help",
                              "t\xEAte",
                              "window",
                              "list"};

std::string Words(Numbers& numbers, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += kWords[numbers.below(static_cast<int>(std::size(kWords)))];
    }
    return text;
}

// A quoted text literal: apostrophes doubled, line breaks as #13#10 codes.
std::string Quoted(const std::string& text, bool line_break) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    quoted += '\'';
    if (line_break) quoted += "#13#10'" + std::string("second line") + "'";
    return quoted;
}

std::string Hex(Numbers& numbers, int bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (int i = 0; i < bytes; ++i) {
        std::uint32_t b = numbers.next() & 0xFF;
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

const char* const kFloats[] = {"1.5",
                               "0.1",
                               "-2.5E-300",
                               "100.0",
                               "1E-6",
                               "0.0",
                               "3.1415926535897932385",
                               "1.23456789012345678E17",
                               "12.75",
                               "-0.0625",
                               "2.71828182845904524"};

// A wide string of words with letters beyond 8 bits (Polish, Cyrillic, the euro sign), in the
// layout the text form gives such strings.
std::string WideQuoted(Numbers& numbers) {
    const char* const kWide[] = {"'Zamknij '#322'adnie'", "#1054#1090#1082#1088#1099#1090#1100",
                                 "'Preis '#8364", "'Gr'#252#223'e '#322"};
    std::string text;
    int count = 1 + numbers.below(4);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += "' '";
        text += kWide[numbers.below(static_cast<int>(std::size(kWide)))];
    }
    return text;
}

// One component with every value kind: integers of all sizes (64-bit ones too), strings short
// and long, wide strings, idents, sets, floats, a string list, binary data, a collection, and
// sometimes children of its own; some are inherited, some embedded frames ("inline"). Single,
// currency and date values (codes 15-17) are left out: Free Pascal's ObjectBinaryToText, which
// bench/form_conversion_vs_fpc.sh runs on the same forms, cannot convert them.
void Component(std::string& text, Numbers& numbers, int& serial, int depth) {
    int id = serial++;
    std::string pad(2 * depth, ' ');
    const char* classes[] = {"TLabel", "TButton", "TEdit", "TPanel", "TListBox", "TImage"};
    std::string cls = classes[numbers.below(6)];
    int kind = numbers.below(8);
    text += pad +
            (kind == 0   ? "inherited "
             : kind == 1 ? "inline "
                         : "object ") +
            cls.substr(1) + std::to_string(id) + ": " + cls + "\r\n";
    std::string in = pad + "  ";
    text += in + "Left = " + std::to_string(numbers.below(120)) + "\r\n";
    text += in + "Top = " + std::to_string(numbers.below(4000)) + "\r\n";
    text += in + "Width = " + std::to_string(numbers.below(100000) - 500) + "\r\n";
    text +=
        in + "Tag = " + std::to_string(static_cast<std::int32_t>(numbers.next() * 97u)) + "\r\n";
    text += in + "Caption = " + Quoted(Words(numbers, 1 + numbers.below(5)), false) + "\r\n";
    if (numbers.below(3) == 0)
        text += in + "Size64 = " +
                std::to_string(static_cast<std::int64_t>(numbers.next()) * 1000003 * 4099 -
                               (std::int64_t{1} << 45)) +
                "\r\n";
    if (numbers.below(3) == 0) text += in + "WideHint = " + WideQuoted(numbers) + "\r\n";
    if (numbers.below(3) == 0)
        text += in + "Hint = " + Quoted(Words(numbers, 10 + numbers.below(30)), true) + "\r\n";
    text += in + "Align = alClient\r\n";
    text += in + "Font.Style = [fsBold, fsItalic]\r\n";
    text += in + "Anchors = [akLeft, akTop, akRight]\r\n";
    text += in + "Visible = " + (numbers.below(2) ? "True" : "False") + "\r\n";
    text += in + "PopupMenu = nil\r\n";
    text += in + "Ratio = " + kFloats[numbers.below(static_cast<int>(std::size(kFloats)))] + "\r\n";
    if (cls == "TListBox" || numbers.below(4) == 0) {
        text += in + "Items.Strings = (";
        int items = 2 + numbers.below(12);
        for (int i = 0; i < items; ++i)
            text += "\r\n" + in + "  " + Quoted(Words(numbers, 2), false);
        text += ")\r\n";
    }
    if (cls == "TImage" || numbers.below(5) == 0)
        text += in + "Picture.Data = {" + Hex(numbers, 16 + numbers.below(600)) + "}\r\n";
    if (numbers.below(4) == 0) {
        text += in + "Columns = <";
        int items = 1 + numbers.below(4);
        for (int i = 0; i < items; ++i) {
            text += "\r\n" + in + "  item\r\n";
            text += in + "    Title.Caption = " + Quoted(Words(numbers, 2), false) + "\r\n";
            text += in + "    Width = " + std::to_string(40 + numbers.below(200)) + "\r\n";
            text += in + "  end";
        }
        text += ">\r\n";
    }
    if (cls == "TPanel" && depth < 6) {
        int children = 1 + numbers.below(4);
        for (int i = 0; i < children; ++i) Component(text, numbers, serial, depth + 1);
    }
    text += pad + "end\r\n";
}

// A form text in the layout our writer produces (generated, then normalised by one round), so
// the text -> binary direction reads what the scanner and the writer see.
std::string GeneratedFormText(int components, std::uint32_t seed) {
    Numbers numbers(seed);
    std::string text = "object MainForm: TMainForm\r\n  Caption = 'Generated form'\r\n";
    int serial = 1;
    while (serial <= components) Component(text, numbers, serial, 1);
    text += "end\r\n";
    return FormResourceToText(FormTextToResource(text));
}

struct Forms {
    std::vector<std::string> texts;
    std::vector<std::string> binaries;
    std::size_t text_bytes = 0;
    std::size_t binary_bytes = 0;

    void add(std::string text) {
        binaries.push_back(FormTextToResource(text));
        text_bytes += text.size();
        binary_bytes += binaries.back().size();
        texts.push_back(std::move(text));
    }
};

const Forms& LargeForm() {
    static const Forms forms = [] {
        Forms f;
        f.add(GeneratedFormText(kLargeObjects, 1));
        return f;
    }();
    return forms;
}

const Forms& SmallForms() {
    static const Forms forms = [] {
        Forms f;
        for (int i = 0; i < kSmallForms; ++i)
            f.add(GeneratedFormText(kSmallObjects, 100 + static_cast<std::uint32_t>(i)));
        return f;
    }();
    return forms;
}

// The streaming conversions, as the form files are converted, into a sink that only counts.
class CountingSink : public lexorin::codec::ByteSink {
  public:
    void write(std::string_view bytes) override { count += bytes.size(); }
    std::size_t count = 0;
};

void BinaryToText(benchmark::State& state, const Forms& forms) {
    for (auto _ : state) {
        CountingSink sink;
        for (const auto& binary : forms.binaries) {
            std::istringstream in(binary);
            lexorin::codec::FormResourceToText(in, sink);
        }
        benchmark::DoNotOptimize(sink.count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * forms.binary_bytes));
    state.counters["binary_MB"] = static_cast<double>(forms.binary_bytes) / 1e6;
}

void TextToBinary(benchmark::State& state, const Forms& forms) {
    for (auto _ : state) {
        CountingSink sink;
        for (const auto& text : forms.texts) {
            std::istringstream in(text);
            lexorin::codec::FormTextToResource(in, sink);
        }
        benchmark::DoNotOptimize(sink.count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * forms.text_bytes));
    state.counters["text_MB"] = static_cast<double>(forms.text_bytes) / 1e6;
}

void BM_LargeBinaryToText(benchmark::State& state) {
    BinaryToText(state, LargeForm());
}
void BM_LargeTextToBinary(benchmark::State& state) {
    TextToBinary(state, LargeForm());
}
void BM_SmallBinaryToText(benchmark::State& state) {
    BinaryToText(state, SmallForms());
}
void BM_SmallTextToBinary(benchmark::State& state) {
    TextToBinary(state, SmallForms());
}
BENCHMARK(BM_LargeBinaryToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeTextToBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallBinaryToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallTextToBinary)->Unit(benchmark::kMillisecond);

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw lexorin::Error("Cannot write file " + path.string());
}

void Generate(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "small");
    const Forms& large = LargeForm();
    WriteFile(dir / "large.dfm", large.binaries[0]);
    WriteFile(dir / "large.txt", large.texts[0]);
    const Forms& small = SmallForms();
    for (std::size_t i = 0; i < small.texts.size(); ++i) {
        std::string name = std::to_string(10000 + i).substr(1);  // 0000, 0001, ...
        WriteFile(dir / "small" / (name + ".dfm"), small.binaries[i]);
        WriteFile(dir / "small" / (name + ".txt"), small.texts[i]);
    }
}

class FileSink : public lexorin::codec::ByteSink {
  public:
    explicit FileSink(std::ofstream& out) : out_(out) {}
    void write(std::string_view bytes) override {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

  private:
    std::ofstream& out_;
};

// File to file through the streaming conversion, as the form operations convert form files.
void Convert(const std::string& mode, const std::string& list_path, int repeat) {
    std::vector<std::string> paths;
    std::ifstream list(list_path);
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) paths.push_back(line);
    bool to_text = mode == "res2txt";
    if (!to_text && mode != "txt2res") throw lexorin::Error("Unknown mode " + mode);
    for (int r = 0; r < repeat; ++r) {
        for (std::size_t i = 0; i + 1 < paths.size(); i += 2) {
            std::ifstream in(paths[i], std::ios::binary);
            if (!in) throw lexorin::Error("Cannot open file " + paths[i]);
            std::ofstream out(paths[i + 1], std::ios::binary | std::ios::trunc);
            FileSink sink(out);
            if (to_text)
                lexorin::codec::FormResourceToText(in, sink);
            else
                lexorin::codec::FormTextToResource(in, sink);
            out.close();
            if (!out) throw lexorin::Error("Cannot write file " + paths[i + 1]);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
            Generate(argv[2]);
            return 0;
        }
        if (argc == 5 && std::strcmp(argv[1], "--convert") == 0) {
            Convert(argv[2], argv[3], std::stoi(argv[4]));
            return 0;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
