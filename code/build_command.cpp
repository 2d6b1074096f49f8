#include "code/build_command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>

#include "base/errors.h"

namespace lexorin::code {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often a running build is looked at (its end, the time limit, Cancel) when it is quiet.
constexpr milliseconds kTick{100};
// After the command's first process ended and the others were killed, output is read this long
// at most: a process outside the group may still hold the pipe.
constexpr milliseconds kReadGrace{250};
// Killed processes normally go within milliseconds; one stuck in the kernel is given this long.
constexpr milliseconds kReapLimit{3000};

[[noreturn]] void fail(const char* what) {
    throw Error(std::string(what) + ": " + std::strerror(errno));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

struct Pipe {
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) fail("Cannot run the build command");
        read_end.reset(ends[0]);
        write_end.reset(ends[1]);
    }
    FileDescriptor read_end, write_end;
};

// While a build runs, the processes that its processes leave behind become Lexorin's children
// instead of init's, so that Lexorin reaps them and can tell when the last one is gone.
class OrphanAdoption {
  public:
    OrphanAdoption() {
        int previous = 0;
        if (::prctl(PR_GET_CHILD_SUBREAPER, &previous, 0, 0, 0) == 0) previous_ = previous != 0;
        ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
    }
    ~OrphanAdoption() {
        if (!previous_) ::prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0);
    }
    OrphanAdoption(const OrphanAdoption&) = delete;
    OrphanAdoption& operator=(const OrphanAdoption&) = delete;

  private:
    bool previous_ = false;
};

int exit_status(int wait_status) {
    if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
    return -1;
}

// The code of the two forked processes runs between fork and exec (or _exit) of a program that
// may have threads: system calls only.

struct LeaderSetup {
    const char* command;
    const char* directory;
    int input;
    int output;
    pid_t parent;
};

// The build's first process: the leader of a new group, killed with Lexorin, with the signal
// handling a shell expects whatever Lexorin ignores or blocks.
[[noreturn]] void become_leader(const LeaderSetup& setup) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
    if (::getppid() != setup.parent) ::_exit(127);  // Lexorin ended before the line above
    struct sigaction original {};
    original.sa_handler = SIG_DFL;
    sigemptyset(&original.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &original, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (::chdir(setup.directory) != 0) ::_exit(126);
    if (setup.input >= 0) ::dup2(setup.input, 0);
    ::dup2(setup.output, 1);
    ::dup2(setup.output, 2);
    ::execl("/bin/sh", "sh", "-c", setup.command, static_cast<char*>(nullptr));
    ::_exit(127);
}

// The keeper joins the build's group and waits on the lifeline, whose only write end Lexorin
// holds. The kernel closes it however Lexorin ends, kill -9 included; the keeper then kills the
// group. Being in the group, it also keeps the group's number from being given to another
// process while Lexorin may still signal it. Signals meant for Lexorin's own group (Ctrl+C,
// a closed terminal) do not reach it, and the ones that might are ignored.
[[noreturn]] void become_keeper(pid_t group, int lifeline, int max_fd) {
    ::setpgid(0, group);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGUSR2})
        ::sigaction(signal, &ignore, nullptr);
    if (lifeline != 0) ::dup2(lifeline, 0);
    // Nothing else of Lexorin's stays open here: not the build's output, not Lexorin's stdout.
    if (::close_range(1, ~0U, 0) != 0)
        for (int fd = 1; fd < max_fd; ++fd) ::close(fd);
    char byte;
    for (;;) {
        const ssize_t got = ::read(0, &byte, 1);
        if (got == 0 || (got < 0 && errno != EINTR)) break;
    }
    ::kill(-group, SIGKILL);
    ::_exit(0);
}

int open_file_limit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 65536;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 65536));
}

// The processes of one build: the leader (whose number names the group), the keeper, and all
// that they started. Killed and reaped when the object goes, however the build ended.
class BuildProcesses {
  public:
    explicit BuildProcesses(pid_t leader) : leader_(leader) {}
    ~BuildProcesses() {
        kill_all();
        reap_all();
    }
    BuildProcesses(const BuildProcesses&) = delete;
    BuildProcesses& operator=(const BuildProcesses&) = delete;

    void set_keeper(pid_t keeper) { keeper_ = keeper; }

    // The leader's exit status once it has ended.
    std::optional<int> poll_leader() {
        if (leader_status_) return leader_status_;
        int status = 0;
        const pid_t done = ::waitpid(leader_, &status, WNOHANG);
        if (done == leader_)
            leader_status_ = exit_status(status);
        else if (done < 0 && errno == ECHILD)
            leader_status_ = -1;
        return leader_status_;
    }

    // The leader's exit status after kill_all().
    int wait_leader() {
        const auto give_up = Clock::now() + kReapLimit;
        while (!poll_leader() && Clock::now() < give_up)
            std::this_thread::sleep_for(milliseconds(2));
        return leader_status_.value_or(128 + SIGKILL);
    }

    void kill_all() {
        ::kill(-leader_, SIGKILL);
        if (!leader_status_) ::kill(leader_, SIGKILL);
        if (keeper_ > 0 && !keeper_reaped_) ::kill(keeper_, SIGKILL);
    }

  private:
    // Reaps the leader, the keeper and the orphans of the group handed to Lexorin, until no
    // process of the group is left.
    void reap_all() {
        const auto give_up = Clock::now() + kReapLimit;
        for (;;) {
            poll_leader();
            if (keeper_ > 0 && !keeper_reaped_) {
                const pid_t done = ::waitpid(keeper_, nullptr, WNOHANG);
                keeper_reaped_ = done == keeper_ || (done < 0 && errno == ECHILD);
            }
            siginfo_t info{};
            while (::waitid(P_PGID, static_cast<id_t>(leader_), &info, WEXITED | WNOHANG) == 0 &&
                   info.si_pid != 0)
                info = {};
            const bool group_gone = ::kill(-leader_, 0) != 0 && errno == ESRCH;
            if ((group_gone && leader_status_ && (keeper_ <= 0 || keeper_reaped_)) ||
                Clock::now() >= give_up)
                return;
            std::this_thread::sleep_for(milliseconds(2));
        }
    }

    pid_t leader_;
    pid_t keeper_ = -1;
    std::optional<int> leader_status_;
    bool keeper_reaped_ = false;
};

// The output as it comes: the beginning kept, every line handed on.
class OutputLines {
  public:
    explicit OutputLines(const BuildOptions& options) : on_line_(options.on_line) {}

    void add(std::string_view chunk) {
        bytes_ += chunk.size();
        if (kept_.size() < kKeptOutput) kept_.append(chunk.substr(0, kKeptOutput - kept_.size()));
        if (!on_line_) return;
        for (char c : chunk) {
            // CR, LF and CR LF end a line, as compilers on either system write them.
            if (c == '\n' && after_cr_) {
                after_cr_ = false;
                continue;
            }
            after_cr_ = c == '\r';
            if (c == '\r' || c == '\n') {
                on_line_(line_);
                line_.clear();
            } else if (line_.size() < kLongestLine) {
                line_ += c;
            }
        }
    }

    void finish() {
        if (on_line_ && !line_.empty()) on_line_(line_);
        line_.clear();
    }

    std::string take_kept() { return std::move(kept_); }
    std::uint64_t bytes() const { return bytes_; }

  private:
    const std::function<void(std::string_view)>& on_line_;
    std::string kept_;
    std::string line_;
    bool after_cr_ = false;
    std::uint64_t bytes_ = 0;
};

// Reads what is there without waiting; false once the pipe is closed by every writer. A flood
// of output is taken in portions, so that the time limit and Cancel are still looked at.
bool read_available(int fd, OutputLines& lines) {
    char buffer[65536];
    for (int portion = 0; portion < 16; ++portion) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            lines.add(std::string_view(buffer, static_cast<size_t>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

int milliseconds_until(Clock::time_point when) {
    const auto left = std::chrono::duration_cast<milliseconds>(when - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kTick.count()));
}

}  // namespace

BuildResult RunBuildCommand(const std::string& command, const std::string& directory,
                            const BuildOptions& options) {
    Pipe output;
    Pipe lifeline;
    FileDescriptor no_input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const LeaderSetup setup{command.c_str(), directory.empty() ? "." : directory.c_str(),
                            no_input.get(), output.write_end.get(), ::getpid()};
    const int max_fd = open_file_limit();
    OrphanAdoption adoption;

    const pid_t leader = ::fork();
    if (leader < 0) fail("Cannot run the build command");
    if (leader == 0) become_leader(setup);
    // Also here, so that the group exists before the keeper joins it.
    ::setpgid(leader, leader);
    BuildProcesses processes(leader);
    output.write_end.reset();
    const pid_t keeper = ::fork();
    if (keeper < 0) fail("Cannot run the build command");
    if (keeper == 0) become_keeper(leader, lifeline.read_end.get(), max_fd);
    ::setpgid(keeper, leader);
    processes.set_keeper(keeper);
    lifeline.read_end.reset();

    const int output_fd = output.read_end.get();
    ::fcntl(output_fd, F_SETFL, ::fcntl(output_fd, F_GETFL) | O_NONBLOCK);
    // Wakes the wait below the moment the leader ends (Linux 5.3 on); else the tick does.
    FileDescriptor leader_ended(static_cast<int>(::syscall(SYS_pidfd_open, leader, 0)));

    OutputLines lines(options);
    BuildResult result;
    const auto deadline = Clock::now() + options.time_limit;
    auto next_cancel_check = Clock::now();
    std::optional<Clock::time_point> stop_reading;  // once the leader is gone
    bool output_open = true;
    for (;;) {
        if (!stop_reading) {
            const auto now = Clock::now();
            const std::optional<int> ended = processes.poll_leader();
            if (!ended && now >= deadline) {
                result.end = BuildEnd::TimedOut;
            } else if (!ended && options.cancel_requested && now >= next_cancel_check) {
                next_cancel_check = now + kTick;
                if (options.cancel_requested()) result.end = BuildEnd::Cancelled;
            }
            if (ended || result.end != BuildEnd::Exited) {
                // Over: what the command left behind goes with it.
                processes.kill_all();
                result.status = processes.wait_leader();
                stop_reading = Clock::now() + kReadGrace;
            }
        }
        if (stop_reading && (!output_open || Clock::now() >= *stop_reading)) break;

        pollfd waits[2];
        nfds_t count = 0;
        if (output_open) waits[count++] = {output_fd, POLLIN, 0};
        if (!stop_reading && leader_ended.get() >= 0)
            waits[count++] = {leader_ended.get(), POLLIN, 0};
        const int wait = milliseconds_until(stop_reading ? *stop_reading : deadline);
        if (::poll(waits, count, wait) < 0 && errno != EINTR)
            fail("Cannot read the build's output");
        if (output_open) output_open = read_available(output_fd, lines);
    }
    lines.finish();
    result.output = lines.take_kept();
    result.output_bytes = lines.bytes();
    return result;
}

}  // namespace lexorin::code
