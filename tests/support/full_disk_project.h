#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_frame.h"
#include "app/commands.h"
#include "app/program_setup.h"
#include "project/projects_table.h"
#include "store/table_store.h"
#include "store/translation_fields.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

namespace lexorin::testing {

// A project whose program directory lies on a small tmpfs of its own, and optionally its
// sources too: the working directory (Projects.DB) is a scratch one while it lives, and the
// project Demo is registered with German and French. The disks can be filled up at any moment
// and emptied again, so that a command meets a full disk in its middle.
class FullDiskProject {
  public:
    static constexpr const char* kProject = "Demo";

    // `home_size` and `sources_size` as tmpfs takes them ("8m"); no sources size keeps the
    // sources on the ordinary disk.
    explicit FullDiskProject(const std::string& home_size, const std::string& sources_size = "")
        : home_disk_(home_size),
          sources_disk_(sources_size.empty() ? nullptr
                                             : std::make_unique<TinyTmpfs>(sources_size)) {
        if (!mounted()) return;
        previous_directory_ = std::filesystem::current_path();
        std::filesystem::create_directories(home());
        std::filesystem::create_directories(src());
        prepare_program_directory(home(), LEXORIN_SOURCE_DIR "/code/glue/");
        std::filesystem::current_path(work_.path());
        {
            store::Session session;
            project::ProjectsTable data(session);
            project::add_project(data.Projects, {kProject, src(), true, {}});
        }
        for (const char* language : {"German", "French"})
            Run([&](commands::OpenedProject& project) {
                commands::AddLanguage(project.handles(), language, reporter);
            });
    }
    ~FullDiskProject() {
        Empty();
        if (!previous_directory_.empty()) std::filesystem::current_path(previous_directory_);
    }
    FullDiskProject(const FullDiskProject&) = delete;
    FullDiskProject& operator=(const FullDiskProject&) = delete;

    bool mounted() const {
        return home_disk_.mounted() && (!sources_disk_ || sources_disk_->mounted());
    }
    std::string home() const { return home_disk_.path() + "/home/"; }
    // The program directory as messages name it, without the last "/".
    std::string home_named() const { return home_disk_.path() + "/home"; }
    std::string src() const {
        return sources_disk_ ? sources_disk_->path() + "/src" : work_.file("src");
    }

    // Opens the project as a command line does, German selected, and runs one command on it.
    template <typename Command>
    void Run(Command command) {
        store::Session session;
        auto project = commands::OpenProject(session, home(), kProject);
        if (!project->languages().items.empty()) project->select_language("German");
        command(*project);
    }

    // Fills the disk of the program directory (or of the sources) up to `spare` free bytes.
    void Fill(std::uintmax_t spare = 0, bool sources = false) {
        const TinyTmpfs& disk = sources ? *sources_disk_ : home_disk_;
        const std::string ballast = disk.file("ballast");
        const int fd = ::open(ballast.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0) return;
        const std::string block(64 * 1024, 'x');
        off_t size = ::lseek(fd, 0, SEEK_END);
        for (ssize_t n; (n = ::write(fd, block.data(), block.size())) > 0;) size += n;
        for (ssize_t n; (n = ::write(fd, block.data(), 512)) > 0;) size += n;
        if (spare > 0) (void)!::ftruncate(fd, size > static_cast<off_t>(spare) ? size - spare : 0);
        ::close(fd);
        ballasts_.push_back(ballast);
    }
    // Makes the disks' room again.
    void Empty() {
        for (const auto& ballast : ballasts_) ::unlink(ballast.c_str());
        ballasts_.clear();
    }

    // Number -> original of every row of the language's table of `kind` ("pascal", "forms").
    std::map<std::int64_t, std::string> Rows(const std::string& language,
                                             const std::string& kind = "pascal") const {
        store::Session session;
        store::Table table(session, home(),
                           std::string(kProject) + "_" + language + "_" + kind + ".db");
        table.open();
        std::map<std::int64_t, std::string> rows;
        for (table.first(); !table.eof(); table.next())
            rows[table.integer(store::field::Index)] = table.text(store::field::OriginalString);
        return rows;
    }

    RecordingReporter reporter{true};

  private:
    TempDir work_;
    TinyTmpfs home_disk_;
    std::unique_ptr<TinyTmpfs> sources_disk_;
    std::filesystem::path previous_directory_;
    std::vector<std::string> ballasts_;
};

// Fills a disk of `project` when the command's progress reaches `at`: a disk that runs full in
// the middle of a scan.
class FillingReporter : public RecordingReporter {
  public:
    FillingReporter(FullDiskProject& project, int at, bool sources = false)
        : RecordingReporter(true), project_(project), at_(at), sources_(sources) {}
    void progress(int done, int total, const std::string& file) override {
        RecordingReporter::progress(done, total, file);
        if (done == at_) project_.Fill(0, sources_);
    }

  private:
    FullDiskProject& project_;
    int at_;
    bool sources_;
};

}  // namespace lexorin::testing
