#include "project/archive_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>

#include "base/temporary_files.h"

namespace lexorin::project {

namespace {

// The state of one archive's source: the archive read as it is, and the new one being written.
struct ArchiveFile {
    explicit ArchiveFile(std::string p) : path(std::move(p)) { zip_error_init(&error); }
    ~ArchiveFile() {
        if (read_fd >= 0) ::close(read_fd);
        zip_error_fini(&error);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    std::string path;
    int read_fd = -1;
    zip_uint64_t size = 0;
    zip_uint64_t position = 0;
    std::optional<TemporaryFile> output;
    zip_error_t error;
};

zip_int64_t fail(ArchiveFile& file, int zip_code, int system_code) {
    zip_error_set(&file.error, zip_code, system_code);
    return -1;
}

// libzip's file source reports a missing archive as a read error with ENOENT; that is what makes
// ZIP_CREATE start a new one.
zip_int64_t stat_archive(ArchiveFile& file, void* data, zip_uint64_t length) {
    auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &file.error);
    if (!st) return -1;
    struct stat on_disk {};
    if (::stat(file.path.c_str(), &on_disk) != 0) return fail(file, ZIP_ER_READ, errno);
    zip_stat_init(st);
    st->size = static_cast<zip_uint64_t>(on_disk.st_size);
    st->mtime = on_disk.st_mtime;
    st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    return sizeof(zip_stat_t);
}

zip_int64_t open_for_reading(ArchiveFile& file) {
    file.read_fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.read_fd < 0) return fail(file, ZIP_ER_OPEN, errno);
    struct stat st {};
    if (::fstat(file.read_fd, &st) != 0) return fail(file, ZIP_ER_READ, errno);
    file.size = static_cast<zip_uint64_t>(st.st_size);
    file.position = 0;
    return 0;
}

zip_int64_t read_part(ArchiveFile& file, void* data, zip_uint64_t length) {
    const ssize_t n = ::pread(file.read_fd, data, length, static_cast<off_t>(file.position));
    if (n < 0) return fail(file, ZIP_ER_READ, errno);
    file.position += static_cast<zip_uint64_t>(n);
    return n;
}

zip_int64_t write_part(ArchiveFile& file, const void* data, zip_uint64_t length) {
    const auto* bytes = static_cast<const char*>(data);
    zip_uint64_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(file.output->fd(), bytes + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(file, ZIP_ER_WRITE, n < 0 ? errno : ENOSPC);
        done += static_cast<zip_uint64_t>(n);
    }
    return static_cast<zip_int64_t>(done);
}

zip_int64_t begin_writing(ArchiveFile& file) {
    try {
        file.output.emplace(file.path);
    } catch (const std::exception&) {
        return fail(file, ZIP_ER_TMPOPEN, errno);
    }
    return 0;
}

// The new archive keeps the mode of the one it replaces; a new one gets what the umask allows.
zip_int64_t commit_writing(ArchiveFile& file) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(file.path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(file.output->fd(), mode);
    if (::fsync(file.output->fd()) != 0) return fail(file, ZIP_ER_WRITE, errno);
    if (const int error = file.output->rename_over(file.path); error != 0)
        return fail(file, ZIP_ER_RENAME, error);
    file.output.reset();
    return 0;
}

zip_int64_t archive_callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    ArchiveFile& file = *static_cast<ArchiveFile*>(state);
    switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT:
            return stat_archive(file, data, length);
        case ZIP_SOURCE_OPEN:
            return open_for_reading(file);
        case ZIP_SOURCE_READ:
            return read_part(file, data, length);
        case ZIP_SOURCE_CLOSE:
            if (file.read_fd >= 0) ::close(file.read_fd);
            file.read_fd = -1;
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t at =
                zip_source_seek_compute_offset(file.position, file.size, data, length, &file.error);
            if (at < 0) return -1;
            file.position = static_cast<zip_uint64_t>(at);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(file.position);
        case ZIP_SOURCE_BEGIN_WRITE:
            return begin_writing(file);
        case ZIP_SOURCE_WRITE:
            return write_part(file, data, length);
        case ZIP_SOURCE_SEEK_WRITE: {
            auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, length, &file.error);
            if (!args) return -1;
            if (::lseek(file.output->fd(), args->offset, args->whence) < 0)
                return fail(file, ZIP_ER_SEEK, errno);
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE: {
            const off_t at = ::lseek(file.output->fd(), 0, SEEK_CUR);
            return at < 0 ? fail(file, ZIP_ER_TELL, errno) : at;
        }
        case ZIP_SOURCE_COMMIT_WRITE:
            return commit_writing(file);
        case ZIP_SOURCE_ROLLBACK_WRITE:
            file.output.reset();  // the temporary file goes
            return 0;
        case ZIP_SOURCE_REMOVE:
            if (::unlink(file.path.c_str()) != 0 && errno != ENOENT)
                return fail(file, ZIP_ER_REMOVE, errno);
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&file.error, data, length);
        case ZIP_SOURCE_FREE: {
            const std::unique_ptr<ArchiveFile> owned(&file);  // handed over at creation
            return 0;
        }
        default:
            return fail(file, ZIP_ER_OPNOTSUPP, 0);
    }
}

}  // namespace

zip_t* open_archive_for_update(const std::string& path, int& error) {
    auto file = std::make_unique<ArchiveFile>(path);
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source = zip_source_function_create(archive_callback, file.get(), &failure);
    if (!source) {
        error = zip_error_code_zip(&failure);
        zip_error_fini(&failure);
        return nullptr;
    }
    file.release();  // the source owns it now and frees it on ZIP_SOURCE_FREE
    zip_t* archive = zip_open_from_source(source, ZIP_CREATE, &failure);
    if (!archive) {
        zip_source_free(source);
        error = zip_error_code_zip(&failure);
    }
    zip_error_fini(&failure);
    return archive;
}

}  // namespace lexorin::project
