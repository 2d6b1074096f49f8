#include "codec/form_conversion.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "codec/byte_streams.h"
#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/resource_file.h"

namespace lexorin::codec {

namespace {

class AtomicFileSink : public ByteSink {
  public:
    explicit AtomicFileSink(AtomicFileWriter& writer) : writer_(writer) {}
    void write(std::string_view bytes) override { writer_.write(bytes); }

  private:
    AtomicFileWriter& writer_;
};

// Only a regular file is read: a pipe would block the command before the first byte, and a device
// such as /dev/zero never ends, so both are refused before they are opened.
void require_regular_input(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw Error("Cannot open file " + path + ": " + std::strerror(errno));
    const std::string prefix = "Cannot open file " + path + ": ";
    if (S_ISDIR(st.st_mode)) throw Error(prefix + "it is a directory");
    if (S_ISFIFO(st.st_mode)) throw Error(prefix + "it is a pipe (FIFO), not a regular file");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        throw Error(prefix + "it is a device, not a regular file");
    if (S_ISSOCK(st.st_mode)) throw Error(prefix + "it is a socket, not a regular file");
    if (!S_ISREG(st.st_mode)) throw Error(prefix + "it is not a regular file");
}

std::ifstream open_input(const std::string& path) {
    require_regular_input(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file " + path + ": " + std::strerror(errno));
    return in;
}

std::string read_head(std::istream& in, std::size_t count) {
    std::string head(count, '\0');
    in.read(head.data(), static_cast<std::streamsize>(count));
    head.resize(static_cast<std::size_t>(in.gcount()));
    in.clear();
    in.seekg(0);
    return head;
}

void copy_stream(std::istream& in, const std::string& path, ByteSink& out) {
    std::array<char, 4096> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        if (in.bad()) throw Error("Cannot read file " + path);
        out.write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
}

// Where the reader of a failed conversion stopped: it leaves the stream right after the last
// byte it took.
std::uint64_t StoppedAt(std::istream& in) {
    in.clear();
    const std::istream::pos_type at = in.tellg();
    return at == std::istream::pos_type(-1) ? 0 : static_cast<std::uint64_t>(at);
}

}  // namespace

bool LooksLikeBinaryForm(std::string_view first_bytes) {
    return first_bytes.substr(0, 3) == std::string_view("\xFF\x0A\x00", 3) ||
           first_bytes.substr(0, 4) == "TPF0";
}

bool FormFileToText(const std::string& form_path, const std::string& text_path,
                    FormStreamCodes* codes) {
    std::ifstream in = open_input(form_path);
    const std::string head = read_head(in, 16);
    if (LooksLikeResourceFile(head)) {
        // A translated form: the object stream of its form resource.
        std::istringstream stream(FormStreamOfResourceFile(read_file(form_path)));
        AtomicFileWriter out(text_path);
        AtomicFileSink sink(out);
        try {
            FormBinaryToText(stream, sink, codes);
        } catch (const EFormError&) {
            RethrowInFile(form_path, AtByteOffset(StoppedAt(stream)) + " of its form resource");
        }
        out.commit();
        return false;
    }
    if (LooksLikeBinaryForm(head)) {
        // Half-converted text is never kept: the target is replaced only after success, so a
        // failure leaves nothing behind and is reported, never passed off as a text form.
        AtomicFileWriter out(text_path);
        AtomicFileSink sink(out);
        try {
            FormResourceToText(in, sink, codes);
        } catch (const EFormError&) {
            RethrowInFile(form_path, AtByteOffset(StoppedAt(in)));
        }
        out.commit();
        return false;
    }
    AtomicFileWriter out(text_path);
    AtomicFileSink sink(out);
    copy_stream(in, form_path, sink);
    out.commit();
    return true;
}

FormFileText ReadFormFileAsText(const std::string& form_path, FormStreamCodes* codes) {
    std::ifstream in = open_input(form_path);
    const std::string head = read_head(in, 16);
    FormFileText result;
    StringSink sink(result.text);
    if (LooksLikeResourceFile(head)) {
        std::istringstream stream(FormStreamOfResourceFile(read_file(form_path)));
        try {
            FormBinaryToText(stream, sink, codes);
        } catch (const EFormError&) {
            RethrowInFile(form_path, AtByteOffset(StoppedAt(stream)) + " of its form resource");
        }
        return result;
    }
    if (LooksLikeBinaryForm(head)) {
        try {
            FormResourceToText(in, sink, codes);
        } catch (const EFormError&) {
            RethrowInFile(form_path, AtByteOffset(StoppedAt(in)));
        }
        return result;
    }
    copy_stream(in, form_path, sink);
    result.was_text = true;
    return result;
}

void TextFileToForm(const std::string& text_path, const std::string& form_path, bool was_text,
                    const FormStreamCodes* codes) {
    std::ifstream in = open_input(text_path);
    AtomicFileWriter out(form_path);
    AtomicFileSink sink(out);
    if (was_text) {
        copy_stream(in, text_path, sink);
    } else {
        try {
            FormTextToResource(in, sink, codes);
        } catch (const EFormError&) {
            RethrowInFile(text_path);
        }
    }
    out.commit();
}

}  // namespace lexorin::codec
