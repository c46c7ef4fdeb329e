// snake-render's outputs through the output layer, as a user meets them:
// every output option into every kind of target (a replaced file, a hard
// link, a descriptor appended to or piped, a full device, a file it may not
// write), and signals at the start, in the middle and at the end of a run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t USER = 65534; // an ordinary user, no account needed

// snake-render started with stdout on `out` (closed for -1) and stderr in
// err_file, its signals at their defaults, as `as` where that is not 0.
pid_t start(const std::vector<std::string> &args, int out, const std::string &err_file,
            uid_t as = 0)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        ::signal(s, SIG_DFL);
    const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out >= 0)
        ::dup2(out, STDOUT_FILENO);
    else
        ::close(STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (as != 0 && !become_user(as, as))
        ::_exit(120);
    std::vector<char *> argv = {const_cast<char *>(SNAKE_RENDER_BIN)};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(SNAKE_RENDER_BIN, argv.data());
    ::_exit(127);
}

std::string read_all(int fd)
{
    std::string text;
    char chunk[65536];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

int wait_for(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// What becomes of an output sent into a pipe or appended to a log.
enum class streamed_t {
    same,     // the bytes of the file
    refused,  // a WAV: libsndfile must go back to its start
    reshaped, // an MP4: fragmented, as it cannot be gone back into
};

struct option_case_t {
    const char *name;
    std::vector<std::string> args; // before the output's name
    const char *ending;            // of the output's name
    streamed_t streamed;
};

enum class target_t { replaced, hard_link, appended, piped, full, protected_file };

struct target_case_t {
    const char *name;
    target_t kind;
    int status;
    const char *error; // stderr starts so ("@": the target's name); nullptr: empty
};

// Each output made into a new file first, for the bytes the other targets
// must get: through the same layer they must be the same.
TEST(RenderTargets, EveryOutputReachesEveryKindOfTarget)
{
    const option_case_t options[] = {
        {"-o", {"1", "120", "-o"}, ".png", streamed_t::same},
        {"--gif", {"1", "1-20", "--gif"}, ".gif", streamed_t::same},
        {"--budget", {"1", "1-20", "--budget"}, ".csv", streamed_t::same},
        {"--budget-svg", {"1", "1-3000", "--budget-svg"}, ".svg", streamed_t::same},
        {"--beam", {"1", "1-20", "--beam"}, ".csv", streamed_t::same},
        {"--trace", {"1", "5", "--trace"}, ".svg", streamed_t::same},
        {"--wav", {"1", "1-20", "--wav"}, ".wav", streamed_t::refused},
        {"--video", {"1", "1-4", "--video"}, ".mp4", streamed_t::reshaped},
    };
    const target_case_t targets[] = {
        {"a file replaced, its mode (and as root its owner) kept", target_t::replaced, 0, nullptr},
        {"a file with a second name, both see the bytes", target_t::hard_link, 0, nullptr},
        {"a link to /dev/stdout appended to a log", target_t::appended, 0, nullptr},
        {"a link to /dev/stdout into a pipe", target_t::piped, 0, nullptr},
        {"a link to a full device", target_t::full, 4, "snake-render: cannot write @: No space"},
        {"a file its user may not write, refused before the first frame", target_t::protected_file,
         4, "snake-render: cannot open @: Permission denied\n"},
    };
    for (const option_case_t &o : options) {
        scratch_dir_t dir;
        ::chmod(dir.path.c_str(), 0777); // the ordinary user's runs make files here too
        std::vector<std::string> args = {"-q"};
        args.insert(args.end(), o.args.begin(), o.args.end());
        args.push_back(dir / (std::string("want") + o.ending));
        ASSERT_EQ(wait_for(start(args, -1, dir / "err")), 0) << o.name;
        const std::string want = read_text(args.back());
        for (const target_case_t &t : targets) {
            SCOPED_TRACE(std::string(o.name) + ": " + t.name);
            const std::string name = dir / (std::string("t") + o.ending);
            const std::string log = dir / "log", other = dir / "other";
            fs::remove(name);
            fs::remove(other);
            std::ofstream(name) << "old\n";
            ::chmod(name.c_str(), t.kind == target_t::protected_file ? 0444 : 0640);
            std::ofstream(log) << "old\n";
            if (t.kind == target_t::hard_link)
                fs::create_hard_link(name, other);
            const bool streamed = t.kind == target_t::appended || t.kind == target_t::piped;
            if (streamed || t.kind == target_t::full) {
                fs::remove(name);
                fs::create_symlink(streamed ? "/dev/stdout" : "/dev/full", name);
            }
            // Root may write any file: the run is an ordinary user's.
            const bool root = ::geteuid() == 0;
            const uid_t as = t.kind == target_t::protected_file && root ? USER : 0;
            if (as != 0 || (t.kind == target_t::replaced && root))
                ::chown(name.c_str(), USER, USER);
            int ends[2] = {-1, -1};
            ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0); // the child holds only its own end
            const int out = t.kind == target_t::appended
                                ? ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC)
                                : ends[1];
            std::vector<std::string> run = {"-q"};
            // Beside the output, the beam into the pipe: a frame drawn shows there.
            if (t.kind == target_t::protected_file)
                run.insert(run.end(),
                           {o.name == std::string("--beam") ? "--budget" : "--beam", "-"});
            run.insert(run.end(), o.args.begin(), o.args.end());
            run.push_back(name);
            const pid_t pid = start(run, out, dir / "err", as);
            ::close(ends[1]);
            if (out != ends[1])
                ::close(out);
            const std::string piped = read_all(ends[0]);
            ::close(ends[0]);
            const int status = wait_for(pid);
            const std::string err = read_text(dir / "err");
            const std::string got = t.kind == target_t::appended ? read_text(log) : piped;
            if (streamed && o.streamed == streamed_t::refused) {
                EXPECT_EQ(WEXITSTATUS(status), 4);
                EXPECT_EQ(err.rfind("snake-render: cannot write a WAV to " + name + ": ", 0), 0u)
                    << err;
                EXPECT_EQ(got, t.kind == target_t::appended ? "old\n" : "");
                continue;
            }
            if (streamed && o.streamed == streamed_t::reshaped) {
                const std::size_t at = t.kind == target_t::appended ? 4 : 0;
                EXPECT_EQ(status, 0) << err;
                EXPECT_EQ(got.substr(at + 4, 4), "ftyp");
                EXPECT_NE(got.substr(at), want);
                continue;
            }
            ASSERT_TRUE(WIFEXITED(status)) << status;
            EXPECT_EQ(WEXITSTATUS(status), t.status) << err;
            std::string error = t.error == nullptr ? "" : t.error;
            if (const std::size_t at = error.find('@'); at != std::string::npos)
                error.replace(at, 1, name);
            EXPECT_EQ(err.rfind(error, 0), 0u) << err;
            switch (t.kind) {
            case target_t::replaced:
            case target_t::hard_link:
                EXPECT_EQ(read_text(name), want);
                EXPECT_EQ(fs::status(name).permissions(), fs::perms(0640));
                if (t.kind == target_t::replaced && root) {
                    struct stat st {};
                    ::stat(name.c_str(), &st);
                    EXPECT_TRUE(st.st_uid == USER && st.st_gid == USER) << "the owner changed";
                }
                if (t.kind == target_t::hard_link) {
                    EXPECT_EQ(read_text(other), want) << "the other name";
                }
                break;
            case target_t::appended: EXPECT_EQ(read_text(log), "old\n" + want); break;
            case target_t::piped: EXPECT_EQ(piped, want); break;
            case target_t::full: break;
            case target_t::protected_file:
                EXPECT_EQ(read_text(name), "old\n");
                EXPECT_EQ(piped, "") << "frames were drawn before the refusal";
                break;
            }
            std::size_t entries = 0;
            for (const auto &e : fs::directory_iterator(dir.path))
                entries += e.path().filename().string().front() == '.';
            EXPECT_EQ(entries, 0u) << "a temporary file left";
        }
    }
}

// Reads the pipe until `text` has come; false when the pipe ended first.
bool read_until(int fd, const std::string &text)
{
    std::string tail; // what came last, enough to hold the text across two reads
    char chunk[65536];
    while (tail.find(text) == std::string::npos) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno != EINTR))
            return false;
        if (n > 0)
            tail = tail.substr(tail.size() - std::min(tail.size(), text.size())) +
                   std::string(chunk, static_cast<std::size_t>(n));
    }
    return true;
}

// A run stopped by a signal as its first frame comes out, half way, and at
// its last frame leaves its files as they were and nothing beside them, and
// ends by that signal; at the end it may have put its files in place just
// before, all of them whole. SIGPIPE is the reader of its standard output going
// away, as `| head` does.
TEST(RenderTargets, SignalsLeaveTheFilesAsTheyWere)
{
    struct case_t {
        const char *moment;
        const char *line; // the signal goes once the beam has come this far
    };
    const case_t cases[] = {
        {"start", "1,1,texts"},
        {"middle", "\n1000,1,texts"},
        {"end", "\n2000,1,texts"},
    };
    for (const int signal : {SIGINT, SIGTERM, SIGPIPE}) {
        for (const case_t &c : cases) {
            SCOPED_TRACE(std::string(strsignal(signal)) + " at the " + c.moment);
            scratch_dir_t dir;
            for (const char *name : {"w.wav", "b.csv", "p.svg"})
                std::ofstream(dir / name) << "old\n";
            int ends[2];
            ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0); // the child holds only its own end
            const pid_t pid = start({"1", "1-2000", "-q", "--beam", "-", "--wav", dir / "w.wav",
                                     "--budget", dir / "b.csv", "--budget-svg", dir / "p.svg"},
                                    ends[1], dir.path + ".err");
            ::close(ends[1]);
            const bool came = read_until(ends[0], c.line);
            if (signal == SIGPIPE)
                ::close(ends[0]);
            else
                ::kill(pid, signal);
            const int status = wait_for(pid); // the pipe open: no SIGPIPE comes first
            if (signal != SIGPIPE)
                ::close(ends[0]);
            fs::remove(dir.path + ".err");
            EXPECT_TRUE(came);
            const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            if (!finished || std::string(c.moment) != "end") {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            }
            std::vector<std::string> left;
            for (const auto &e : fs::directory_iterator(dir.path))
                left.push_back(e.path().filename().string());
            std::sort(left.begin(), left.end());
            EXPECT_EQ(left, (std::vector<std::string>{"b.csv", "p.svg", "w.wav"}));
            // A signal held while the files are put in place comes after all of them.
            const bool replaced = read_text(dir / "w.wav") != "old\n";
            EXPECT_TRUE(!replaced || finished || std::string(c.moment) == "end");
            for (const char *name : {"b.csv", "p.svg"}) {
                EXPECT_EQ(read_text(dir / name) != "old\n", replaced) << name;
            }
        }
    }
}

} // namespace
