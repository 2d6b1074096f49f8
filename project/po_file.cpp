#include "project/po_file.h"

#include <gettext-po.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"

namespace lexorin::project {

namespace {

// libgettextpo reports problems through a handler without a user pointer, so the complaints of
// the call in progress are collected through this thread's sink. A fatal error must not return
// to the library: the handler jumps back to the guarded call, past library frames only.
struct PoErrorSink {
    std::vector<std::string> errors;
    std::jmp_buf fatal{};
};
thread_local PoErrorSink* current_sink = nullptr;

void collect(int severity, const char* filename, size_t lineno, const char* text) {
    if (!current_sink || severity == PO_SEVERITY_WARNING) return;
    try {
        std::string where;
        if (filename && lineno != static_cast<size_t>(-1))
            where = "line " + std::to_string(lineno) + ": ";
        std::string message = text ? text : "";
        while (!message.empty() && message.back() == '\n') message.pop_back();
        current_sink->errors.push_back(where + message);
    } catch (...) {
        // Out of memory while noting a complaint: the count of complaints still tells.
    }
}

extern "C" void po_xerror_callback(int severity, po_message_t, const char* filename, size_t lineno,
                                   size_t, int, const char* text) {
    collect(severity, filename, lineno, text);
    if (severity == PO_SEVERITY_FATAL_ERROR && current_sink) std::longjmp(current_sink->fatal, 1);
}

extern "C" void po_xerror2_callback(int severity, po_message_t, const char* filename1,
                                    size_t lineno1, size_t, int, const char* text1, po_message_t,
                                    const char*, size_t, size_t, int, const char*) {
    collect(severity, filename1, lineno1, text1);
    if (severity == PO_SEVERITY_FATAL_ERROR && current_sink) std::longjmp(current_sink->fatal, 1);
}

const po_xerror_handler kHandler{po_xerror_callback, po_xerror2_callback};

struct SinkScope {
    explicit SinkScope(PoErrorSink& sink) : previous(current_sink) { current_sink = &sink; }
    ~SinkScope() { current_sink = previous; }
    PoErrorSink* previous;
};

// Runs a library call that may report a fatal error; false when it did. `call` must hold no
// object with a destructor, since a fatal error leaves it by a jump.
bool guarded(PoErrorSink& sink, void (*call)(void*), void* argument) {
    SinkScope scope(sink);
    if (setjmp(sink.fatal) != 0) return false;
    call(argument);
    return true;
}

struct PoFileFree {
    void operator()(po_file_t file) const { po_file_free(file); }
};
using PoFile = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileFree>;

struct IteratorFree {
    void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};
using PoIterator = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorFree>;

struct MallocFree {
    void operator()(char* p) const { std::free(p); }
};

std::string complaints(const std::vector<std::string>& errors) {
    std::string text;
    size_t shown = std::min<size_t>(errors.size(), 3);
    for (size_t i = 0; i < shown; ++i) text += (i ? "; " : "") + errors[i];
    if (errors.size() > shown) text += "; and " + std::to_string(errors.size() - shown) + " more";
    return text;
}

std::string text_or_empty(const char* text) {
    return text ? std::string(text) : std::string();
}

void check_utf8_charset(const std::string& path, const std::string& header) {
    std::string content_type = po_header_field(header, "Content-Type");
    auto at = upper_case(content_type).find("CHARSET=");
    if (at == std::string::npos) return;  // no declaration: the texts are checked as UTF-8
    std::string charset = upper_case(trim(content_type.substr(at + 8)));
    if (charset != "UTF-8" && charset != "UTF8" && charset != "ASCII" && charset != "US-ASCII")
        throw Error("The PO file " + path + " is not in UTF-8 (charset " +
                    trim(content_type.substr(at + 8)) + "); save it as UTF-8 and try again.");
}

struct ReadCall {
    const char* path;
    po_file_t file;
};

struct WriteCall {
    po_file_t file;
    const char* path;
    po_file_t result;
};

// A scratch file for the library to write into; removed when done.
class ScratchFile {
  public:
    ScratchFile() {
        path_ = (std::filesystem::temp_directory_path() / "lexorin-po-XXXXXX").string();
        int fd = ::mkstemp(path_.data());
        if (fd < 0)
            throw Error(std::string("Cannot create a temporary file: ") + std::strerror(errno));
        ::close(fd);
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

void insert_message(po_message_iterator_t it, const PoEntry& entry) {
    po_message_t message = po_message_create();  // owned by the file once inserted
    if (entry.has_context) po_message_set_msgctxt(message, entry.context.c_str());
    po_message_set_msgid(message, entry.msgid.c_str());
    po_message_set_msgstr(message, entry.msgstr.c_str());
    if (!entry.comments.empty()) po_message_set_comments(message, entry.comments.c_str());
    if (!entry.extracted.empty())
        po_message_set_extracted_comments(message, entry.extracted.c_str());
    if (entry.fuzzy) po_message_set_fuzzy(message, 1);
    if (entry.obsolete) po_message_set_obsolete(message, 1);
    po_message_insert(it, message);
}

}  // namespace

std::string po_header_field(const std::string& header, const std::string& field) {
    std::unique_ptr<char, MallocFree> value(::po_header_field(header.c_str(), field.c_str()));
    return value ? std::string(value.get()) : std::string();
}

PoCatalog read_po_file(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw Error("The PO file " + path + " cannot be read: " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw Error("The PO file " + path + " is not a file.");
    // The library gives no reason when it cannot open the file; this gives the system's.
    if (::access(path.c_str(), R_OK) != 0)
        throw Error("The PO file " + path + " cannot be read: " + std::strerror(errno));

    PoErrorSink sink;
    ReadCall call{path.c_str(), nullptr};
    bool completed = guarded(
        sink,
        [](void* arg) {
            auto* c = static_cast<ReadCall*>(arg);
            c->file = po_file_read(c->path, &kHandler);
        },
        &call);
    PoFile file(completed ? call.file : nullptr);
    if (!completed || !sink.errors.empty())
        throw Error(
            "The PO file " + path + " is malformed: " +
            (sink.errors.empty() ? std::string("the reader gave up") : complaints(sink.errors)));
    if (!file) throw Error("The PO file " + path + " cannot be read.");

    PoCatalog catalog;
    catalog.header = text_or_empty(po_file_domain_header(file.get(), nullptr));
    check_utf8_charset(path, catalog.header);
    for (const char* const* domain = po_file_domains(file.get()); domain && *domain; ++domain) {
        PoIterator it(po_message_iterator(file.get(), *domain));
        while (po_message_t message = po_next_message(it.get())) {
            PoEntry entry;
            const char* context = po_message_msgctxt(message);
            entry.has_context = context != nullptr;
            entry.context = text_or_empty(context);
            entry.msgid = text_or_empty(po_message_msgid(message));
            entry.msgstr = text_or_empty(po_message_msgstr(message));
            entry.fuzzy = po_message_is_fuzzy(message) != 0;
            entry.obsolete = po_message_is_obsolete(message) != 0;
            entry.plural = po_message_msgid_plural(message) != nullptr;
            entry.comments = text_or_empty(po_message_comments(message));
            entry.extracted = text_or_empty(po_message_extracted_comments(message));
            if (entry.msgid.empty() && !entry.has_context && !entry.obsolete) continue;  // header
            catalog.entries.push_back(std::move(entry));
        }
    }
    return catalog;
}

void write_po_file(const std::string& path, const PoCatalog& catalog) {
    PoFile file(po_file_create());
    {
        PoIterator it(po_message_iterator(file.get(), nullptr));
        PoEntry header;
        header.msgstr = catalog.header;
        insert_message(it.get(), header);
        for (const auto& entry : catalog.entries) insert_message(it.get(), entry);
    }
    // The library writes straight into the file it is given; the target is replaced only by
    // the complete text.
    ScratchFile scratch;
    PoErrorSink sink;
    WriteCall call{file.get(), scratch.path().c_str(), nullptr};
    bool completed = guarded(
        sink,
        [](void* arg) {
            auto* c = static_cast<WriteCall*>(arg);
            c->result = po_file_write(c->file, c->path, &kHandler);
        },
        &call);
    if (!completed || !sink.errors.empty() || !call.result)
        throw Error(
            "The PO file " + path + " could not be written: " +
            (sink.errors.empty() ? std::string("the writer gave up") : complaints(sink.errors)));
    write_file_atomically(path, read_file(scratch.path()));
}

}  // namespace lexorin::project
