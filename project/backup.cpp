#include "project/backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "project/archive_update.h"
#include "project/file_walker.h"
#include "project/projects_table.h"

namespace lexorin::project {

namespace {

// zlib's level 6, the level PKWARE's format calls normal.
constexpr int kNormalLevel = 6;

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipSourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceFree>;

struct FdClose {
    int fd;
    ~FdClose() {
        if (fd >= 0) ::close(fd);
    }
};

// A ZIP archive without members: just the end-of-central-directory record. libzip writes
// nothing for an archive left empty, but accepting the offer always leaves an archive.
constexpr std::array<char, 22> kEmptyArchive = {'P', 'K', 5, 6};

// Reads the file through once, as the archive writer will later: a file that cannot be read is
// left out now instead of failing the whole archive on closing. Returns whether Deflate at the
// normal level makes it smaller; raises Error with the reason otherwise.
bool deflate_shrinks(const std::string& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw Error(file + ": " + std::strerror(errno));
    FdClose closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw Error(file + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw Error(file + ": not a regular file");

    z_stream stream{};
    if (deflateInit2(&stream, kNormalLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error(file + ": the compressor could not start");
    struct DeflateEnd {
        z_stream& s;
        ~DeflateEnd() { deflateEnd(&s); }
    } ender{stream};

    std::array<unsigned char, 65536> in{};
    std::array<unsigned char, 65536> out{};
    std::uint64_t read_total = 0, written_total = 0;
    for (;;) {
        ssize_t n = ::read(fd, in.data(), in.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error(file + ": " + std::strerror(errno));
        }
        read_total += static_cast<std::uint64_t>(n);
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(n);
        int flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        int rc;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            rc = deflate(&stream, flush);
            written_total += out.size() - stream.avail_out;
        } while (stream.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        if (n == 0) break;
    }
    return written_total < read_total;
}

std::string zip_error_text(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// Adds one file, in place of an older member of the same name (an archive made earlier must get
// the current sources); returns "" or the reason it was left out.
std::string add_member(zip_t* archive, const std::string& file, bool& replaced) {
    bool shrinks;
    try {
        shrinks = deflate_shrinks(file);
    } catch (const Error& e) {
        return e.what();
    }
    std::string name = backup_member_name(file);
    ZipSource source(zip_source_file(archive, file.c_str(), 0, -1));
    if (!source) return std::string(zip_strerror(archive)) + ": " + file;
    replaced = zip_name_locate(archive, name.c_str(), 0) >= 0;
    zip_int64_t index =
        zip_file_add(archive, name.c_str(), source.get(), ZIP_FL_ENC_GUESS | ZIP_FL_OVERWRITE);
    if (index < 0) return std::string(zip_strerror(archive)) + ": " + name;
    source.release();  // the archive owns it now
    zip_int32_t method = shrinks ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), method,
                                 shrinks ? kNormalLevel : 0) < 0) {
        std::string reason = std::string(zip_strerror(archive)) + ": " + name;
        zip_delete(archive, static_cast<zip_uint64_t>(index));
        return reason;
    }
    return {};
}

}  // namespace

std::string backup_archive_path(const std::string& program_directory,
                                const std::string& project_name) {
    return join_path(program_directory, project_name + ".zip");
}

std::string backup_member_name(const std::string& file) {
    std::string name = std::filesystem::absolute(file).lexically_normal().string();
    size_t start = name.find_first_not_of('/');
    return start == std::string::npos ? std::string() : name.substr(start);
}

std::vector<std::string> SourceCheck(const std::string& directory, bool recursive,
                                     const std::vector<std::string>& excluded, Reporter& reporter,
                                     std::vector<std::string>* problems, OutsideLinks links,
                                     const std::string& project_masks) {
    std::vector<UnreadableFolder> unreadable;
    std::vector<OutsideLink> skipped_links;
    const std::string masks =
        project_masks.empty() ? kBackupMasks : kBackupMasks + (";" + project_masks);
    std::vector<std::string> files =
        CollectFiles(directory, recursive, masks, excluded, &unreadable, links, &skipped_links);
    // The files of a folder that cannot be read, or behind a link out of the project folder,
    // are not saved: said, not passed over.
    auto problem = [&](const std::string& text) {
        reporter.warning(text);
        if (problems) problems->push_back(text);
    };
    for (const auto& [folder, reason] : unreadable)
        problem("Backup: the folder " + folder + " cannot be read: " + reason);
    for (const auto& link : skipped_links)
        problem("Backup: " + link.path + ": " + OutsideLinkReason(link));
    if (files.empty())
        reporter.warning("Warning: The directory " + directory +
                         " does not countain files with the " + "extensions *.pas or *.dfm.");
    return files;
}

BackupResult BackupFiles(const std::string& archive_path, const std::vector<std::string>& files,
                         Reporter& reporter) {
    sweep_temporary_files(directory_of(archive_path));  // leftovers of a killed run
    BackupResult result;
    result.archive = archive_path;
    int error_code = 0;
    ZipArchive archive(open_archive_for_update(archive_path, error_code));
    if (!archive)
        throw Error("The archive " + archive_path +
                    " cannot be opened: " + zip_error_text(error_code));
    bool was_empty = zip_get_num_entries(archive.get(), 0) == 0;

    const int total = static_cast<int>(files.size());
    for (int i = 0; i < total; ++i) {
        const std::string& file = files[static_cast<size_t>(i)];
        bool replaced = false;
        std::string failure = add_member(archive.get(), file, replaced);
        if (failure.empty()) {
            ++(replaced ? result.replaced : result.added);
        } else {
            result.failures.push_back("Backup: " + failure);
            reporter.warning(result.failures.back());
        }
        reporter.progress(i + 1, total, file);
        reporter.still_working();
    }

    if (result.added == 0 && was_empty) {
        // Nothing for libzip to write; a new archive still appears, as an empty one.
        archive.reset();
        if (!file_exists(archive_path))
            write_file_atomically(archive_path,
                                  std::string_view(kEmptyArchive.data(), kEmptyArchive.size()));
    } else if (zip_close(archive.get()) < 0) {
        throw Error("The archive " + archive_path +
                    " could not be written: " + zip_strerror(archive.get()));
    } else {
        archive.release();  // closed and freed by zip_close
    }
    result.message = "Your files have been backed up successfully into " + archive_path;
    return result;
}

bool ConfirmBackup(const std::string& project_name, Reporter& reporter) {
    if (!reporter.confirm("Do you want all your .pas and .dfm files to be automatically backed "
                          "up\rinto " +
                          project_name + ".zip in the Lexorin directory?"))
        return false;
    check_file_name_part(project_name, "project name");
    return true;
}

BackupResult BackupProject(const std::string& program_directory, const std::string& project_name,
                           const std::string& directory, bool recursive,
                           const std::vector<std::string>& excluded, Reporter& reporter,
                           OutsideLinks links, const std::string& project_masks) {
    check_file_name_part(project_name, "project name");
    std::vector<std::string> unreadable;
    std::vector<std::string> files =
        SourceCheck(directory, recursive, excluded, reporter, &unreadable, links, project_masks);
    BackupResult result =
        BackupFiles(backup_archive_path(program_directory, project_name), files, reporter);
    result.failures.insert(result.failures.begin(), unreadable.begin(), unreadable.end());
    return result;
}

}  // namespace lexorin::project
