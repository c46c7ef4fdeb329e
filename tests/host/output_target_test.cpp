// Outputs opened before the work and put in place after it: files whole or
// not at all, links and hard links as `>` treats them, descriptors and pipes
// written through, other users' files unharmed, and nothing left behind by a
// failure or a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "host/io/output_target.h"
#include "host/io/start_descriptors.h"
#include "host/io/temp_files.h"
#include "tests/support/child_process.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t USER = 65534; // unused ids: no account is needed to become them
constexpr uid_t OTHER = 65533;

std::string pattern(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// A writer that hands its bytes over in pieces of uneven size.
void write_pieces(const sink_t &sink, const std::string &bytes)
{
    for (std::size_t at = 0, size = 1; at < bytes.size(); at += size, size = size * 5 % 4099 + 1)
        sink_write(sink, bytes.data() + at, std::min(size, bytes.size() - at));
}

std::string written_by_pieces(const std::string &bytes)
{
    memory_sink_t memory;
    write_pieces(memory_sink(&memory), bytes);
    return memory.bytes;
}

void make_file(const std::string &path, const std::string &text, mode_t mode)
{
    std::ofstream(path) << text;
    ::chmod(path.c_str(), mode);
}

// Temporary files left in the folder: they, and only they, begin with '.'.
int hidden_files(const std::string &dir)
{
    int n = 0;
    for (const auto &entry : fs::recursive_directory_iterator(dir))
        n += entry.path().filename().string().front() == '.';
    return n;
}

// Long byte strings compared without printing them whole.
testing::AssertionResult same_bytes(const std::string &got, const std::string &want)
{
    if (got == want)
        return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    return testing::AssertionFailure() << got.size() << " bytes, not " << want.size()
                                       << "; the first difference at byte " << at;
}

std::string with_dir(std::string text, const std::string &dir)
{
    for (std::size_t at; (at = text.find('@')) != std::string::npos;)
        text.replace(at, 1, dir);
    return text;
}

// The output opened, written and committed; "" or the error.
std::string put(const std::string &path, const std::string &bytes)
{
    output_target_t target;
    std::string error;
    if (!output_open(path, &target, &error))
        return error;
    write_pieces(output_sink(&target), bytes);
    return output_commit(&target, &error) ? "" : error;
}

// A size limit cuts a write short, then refuses the next: the sink goes on
// after the short write and keeps the refusal's reason.
TEST(OutputSink, DescriptorTakesEveryByteOrKeepsTheFirstFailure)
{
    struct case_t {
        const char *name;
        rlim_t size_limit;   // 0: none
        int err;             // errno of the first failure
        std::uint64_t taken; // bytes written before it
    };
    const case_t cases[] = {
        {"every byte", 0, 0, 20000},
        {"a short write, then the size limit", 1000, EFBIG, 1000},
    };
    const std::string bytes = pattern(20000);
    scratch_dir_t dir;
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        fd_sink_t out{::open((dir / "file").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 0, 0};
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{c.size_limit, saved.rlim_max};
        if (c.size_limit != 0)
            ::setrlimit(RLIMIT_FSIZE, &small);
        const sink_t sink = fd_sink(&out);
        const bool first = sink_write(sink, bytes.data(), 10000);
        const bool second = sink_write(sink, bytes.data() + 10000, 10000);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::close(out.fd);
        EXPECT_EQ(first, c.taken >= 10000);
        EXPECT_EQ(second, c.err == 0);
        EXPECT_EQ(out.err, c.err) << std::strerror(out.err);
        EXPECT_EQ(out.written, c.taken);
        EXPECT_TRUE(same_bytes(read_text(dir / "file"), bytes.substr(0, c.taken)));
    }
    std::signal(SIGXFSZ, old_handler);
}

enum class setup_t { plain, link, dangling_link, repointed_link, hard_link, fifo, size_limit };

struct file_case_t {
    const char *name;
    setup_t setup;
    std::string path;    // in the scratch folder ("@"), or absolute
    bool commit;         // or discard
    std::string error;   // the failure's message; "" for none
    std::string written; // the files that hold the new bytes afterwards, with a space between
    mode_t mode;         // the first one's mode; 0: not checked
};

std::vector<std::string> words(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

TEST(OutputTarget, FileWholeOrAsItWas)
{
    const mode_t mask = ::umask(022);
    const std::string n255(255, 'n');
    const file_case_t cases[] = {
        {"a new file", setup_t::plain, "new.bin", true, "", "new.bin", 0644},
        {"a file replaced, its mode kept", setup_t::plain, "old.bin", true, "", "old.bin", 0640},
        {"a file discarded", setup_t::plain, "old.bin", false, "", "", 0},
        {"a link followed, the link kept", setup_t::link, "link.bin", true, "", "sub/real.bin", 0},
        {"a link to nothing yet", setup_t::dangling_link, "link.bin", true, "", "sub/new.bin",
         0644},
        {"the file a link named at the start", setup_t::repointed_link, "link.bin", true, "",
         "sub/real.bin", 0},
        {"every hard link sees the bytes", setup_t::hard_link, "old.bin", true, "",
         "old.bin hard.bin", 0640},
        {"a 255-byte name", setup_t::plain, n255, true, "", n255, 0644},
        {"a 256-byte name", setup_t::plain, n255 + "n", true,
         "cannot open @/" + n255 + "n: File name too long", "", 0},
        {"a folder", setup_t::plain, "sub", true, "cannot open @/sub: Is a directory", "", 0},
        {"a missing folder", setup_t::plain, "missing/x.bin", true,
         "the folder @/missing for @/missing/x.bin does not exist", "", 0},
        {"a write past the size limit", setup_t::size_limit, "old.bin", true,
         "cannot write @/old.bin: File too large", "", 0},
        {"a pipe written through", setup_t::fifo, "pipe", true, "", "", 0},
        {"a full device", setup_t::plain, "/dev/full", true,
         "cannot write /dev/full: No space left on device", "", 0},
    };
    const std::string bytes = pattern(100000);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    for (const bool named : {false, true}) {
        output_use_named_temp_files(named);
        for (const file_case_t &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (named ? ", named temporary file" : ""));
            scratch_dir_t dir;
            fs::create_directory(dir / "sub");
            make_file(dir / "old.bin", "old", 0640);
            make_file(dir / "sub/real.bin", "old", 0644);
            if (c.setup == setup_t::link || c.setup == setup_t::repointed_link)
                fs::create_symlink("sub/real.bin", dir / "link.bin");
            if (c.setup == setup_t::dangling_link)
                fs::create_symlink("sub/new.bin", dir / "link.bin");
            if (c.setup == setup_t::hard_link)
                fs::create_hard_link(dir / "old.bin", dir / "hard.bin");
            if (c.setup == setup_t::fifo) {
                ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
            }
            const bool linked = fs::is_symlink(dir / "link.bin");
            const std::string path = c.path[0] == '/' ? c.path : dir / c.path;
            std::future<std::string> piped;
            if (c.setup == setup_t::fifo)
                piped = std::async(std::launch::async, [path] { return read_text(path); });

            output_target_t target;
            std::string error;
            if (!output_open(path, &target, &error)) {
                if (c.setup == setup_t::fifo) // let the reader go
                    ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
                EXPECT_EQ(error, with_dir(c.error, dir.path));
                EXPECT_EQ(read_text(dir / "old.bin"), "old");
                continue;
            }
            rlimit saved{};
            ::getrlimit(RLIMIT_FSIZE, &saved);
            const rlimit small{1000, saved.rlim_max};
            if (c.setup == setup_t::size_limit)
                ::setrlimit(RLIMIT_FSIZE, &small);
            write_pieces(output_sink(&target), bytes);
            ::setrlimit(RLIMIT_FSIZE, &saved);
            EXPECT_EQ(hidden_files(dir.path), named && target.kind == output_kind_t::file);
            if (c.setup == setup_t::repointed_link) {
                fs::remove(dir / "link.bin");
                fs::create_symlink("old.bin", dir / "link.bin");
            }
            if (c.commit) {
                EXPECT_EQ(output_commit(&target, &error) ? "" : error, with_dir(c.error, dir.path));
            } else {
                output_discard(&target);
            }

            const std::vector<std::string> written = words(c.written);
            for (const std::string &name : written)
                EXPECT_TRUE(same_bytes(read_text(dir / name), written_by_pieces(bytes))) << name;
            if (c.mode != 0) {
                EXPECT_EQ(fs::status(dir / written.front()).permissions(), fs::perms(c.mode));
            }
            for (const char *old : {"old.bin", "sub/real.bin"}) {
                if (std::find(written.begin(), written.end(), old) == written.end()) {
                    EXPECT_TRUE(same_bytes(read_text(dir / old), "old")) << old;
                }
            }
            EXPECT_EQ(fs::status(dir / "old.bin").permissions(), fs::perms(0640));
            if (c.setup == setup_t::fifo) {
                EXPECT_TRUE(same_bytes(piped.get(), bytes));
            }
            EXPECT_EQ(fs::is_symlink(dir / "link.bin"), linked) << "the link replaced";
            EXPECT_EQ(hidden_files(dir.path), 0) << "a temporary file left";
        }
    }
    output_use_named_temp_files(false);
    std::signal(SIGXFSZ, old_handler);
    ::umask(mask);
}

struct descriptor_case_t {
    const char *name;
    const char *path;  // the output's name; "@" is the scratch folder
    int fd;            // the descriptor that leads to the pipe or the log
    bool into_pipe;    // else into a log opened for appending, holding "old\n"
    int closed;        // a descriptor closed when the program starts; -1: none
    const char *error; // the failure's message, or nullptr
};

// Run in a child, whose descriptors are set up as a shell would set them.
std::string write_through_descriptor(const descriptor_case_t &c, const std::string &dir,
                                     int pipe_end, const std::string &bytes)
{
    int fd = c.into_pipe ? pipe_end : ::open((dir + "/log").c_str(), O_WRONLY | O_APPEND);
    if (fd != c.fd) {
        ::dup2(fd, c.fd);
        ::close(fd);
    }
    ::close(c.closed);
    secure_standard_descriptors();
    if (c.closed == STDOUT_FILENO) {
        const int later = ::open("/dev/null", O_WRONLY);
        if (later == STDOUT_FILENO)
            return "a file opened later became standard output";
        if (::write(STDOUT_FILENO, "x", 1) != -1 || errno != EBADF)
            return "the stand-in for standard output took a write";
    }
    return put(with_dir(c.path, dir), bytes);
}

TEST(OutputTarget, DescriptorNamesWriteThroughTheDescriptor)
{
    const descriptor_case_t cases[] = {
        {"/dev/stdout into a pipe", "/dev/stdout", 1, true, -1, nullptr},
        {"/dev/stdout appended to a log", "/dev/stdout", 1, false, -1, nullptr},
        {"- appended to a log", "-", 1, false, -1, nullptr},
        {"/dev/fd/5 into a pipe", "/dev/fd/5", 5, true, -1, nullptr},
        {"/proc/self/fd/2 appended to a log", "/proc/self/fd/2", 2, false, -1, nullptr},
        {"a link to /dev/stderr appended to a log", "@/err", 2, false, -1, nullptr},
        {"a descriptor that is not open", "/dev/fd/7", 5, true, 7,
         "cannot write /dev/fd/7: Bad file descriptor"},
        {"- closed at the start", "-", 5, true, 1,
         "cannot write to standard output: Bad file descriptor"},
        {"/dev/stdout closed at the start", "/dev/stdout", 5, true, 1,
         "cannot write /dev/stdout: Bad file descriptor"},
    };
    const std::string bytes = pattern(3000);
    for (const descriptor_case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scratch_dir_t dir;
        make_file(dir / "log", "old\n", 0644);
        fs::create_symlink("/dev/stderr", dir / "err");
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const child_t child = run_in_child([&] {
            ::close(ends[0]);
            return write_through_descriptor(c, dir.path, ends[1], bytes);
        });
        ::close(ends[1]);
        std::string piped;
        char chunk[4096];
        for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) > 0;)
            piped.append(chunk, static_cast<std::size_t>(n));
        ::close(ends[0]);
        EXPECT_TRUE(same_bytes(child.said, c.error == nullptr ? "" : c.error))
            << child.said.substr(0, 80);
        const bool written = c.error == nullptr;
        EXPECT_TRUE(same_bytes(piped, written && c.into_pipe ? bytes : ""));
        EXPECT_TRUE(same_bytes(read_text(dir / "log"),
                               written && !c.into_pipe ? "old\n" + bytes : "old\n"));
    }
}

struct owner_case_t {
    const char *name;
    uid_t as;           // who writes (gid the same)
    const char *folder; // "mine" (USER's), "roots" (root's, 0755)
    uid_t owner;        // the file's owner and group
    mode_t mode;
    const char *error; // the failure's reason, or nullptr
    bool in_place;     // written into the same file, else replaced
};

TEST(OutputTarget, OtherUsersFilesAsTheShellWouldTreatThem)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run it as other users";
    const owner_case_t cases[] = {
        {"one's own write-protected file", USER, "mine", USER, 0444, "Permission denied", false},
        {"another's file one may not write", USER, "mine", 0, 0644, "Permission denied", false},
        {"another's file one may write", USER, "mine", 0, 0666, nullptr, true},
        {"one's own file in a folder one may not write", USER, "roots", USER, 0644, nullptr, true},
        {"one's own file, its mode kept", USER, "mine", USER, 0604, nullptr, false},
        {"root replacing another's file", 0, "mine", USER, 0640, nullptr, false},
    };
    const std::string bytes = pattern(70000);
    const std::string old(100000, 'o'); // longer: a file written in place must be cut
    for (const owner_case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scratch_dir_t dir;
        ::chmod(dir.path.c_str(), 0755);
        fs::create_directory(dir / "mine");
        fs::create_directory(dir / "roots");
        ASSERT_EQ(::chown((dir / "mine").c_str(), USER, USER), 0);
        const std::string path = dir / (std::string(c.folder) + "/f.bin");
        make_file(path, old, c.mode);
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner), 0);
        ::chmod(path.c_str(), c.mode);
        struct stat before {};
        ::stat(path.c_str(), &before);
        // What the shell's `>` would say, on a copy of the file.
        const std::string copy = path + ".copy";
        fs::copy_file(path, copy);
        ::chown(copy.c_str(), c.owner, c.owner);
        ::chmod(copy.c_str(), c.mode);
        const child_t shell = run_in_child([&] {
            if (c.as != 0 && !become_user(c.as, c.as))
                return std::string("cannot become the user");
            const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            return fd < 0 ? std::string(std::strerror(errno)) : std::string();
        });
        EXPECT_EQ(shell.said, c.error == nullptr ? "" : c.error) << "the shell differs";

        const child_t child = run_in_child([&] {
            if (c.as != 0 && !become_user(c.as, c.as))
                return std::string("cannot become the user");
            return put(path, bytes);
        });
        EXPECT_EQ(child.said, c.error == nullptr ? "" : "cannot open " + path + ": " + c.error);
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_TRUE(same_bytes(read_text(path), c.error == nullptr ? bytes : old));
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(after.st_gid, c.owner);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_ino == before.st_ino, c.in_place || c.error != nullptr);
        EXPECT_EQ(hidden_files(dir.path), 0);
    }
}

// A link another user planted in a sticky folder that anyone may write (as
// in /tmp), to a file its victim may write: followed exactly where the
// kernel follows it for the shell's `>` (fs.protected_symlinks).
TEST(OutputTarget, PlantedLinkFollowedOnlyAsTheKernelAllows)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run it as other users";
    const std::string bytes = pattern(5000);
    for (const uid_t victim : {uid_t{0}, USER}) {
        SCOPED_TRACE("victim " + std::to_string(victim));
        scratch_dir_t dir;
        ::chmod(dir.path.c_str(), 0755);
        fs::create_directory(dir / "shared");
        ::chmod((dir / "shared").c_str(), 01777);
        for (const char *name : {"secret", "secret-copy"}) {
            make_file(dir / name, "old", 0600);
            ::chown((dir / name).c_str(), victim, victim);
            const std::string link = dir / (std::string("shared/") + name);
            fs::create_symlink(dir / name, link);
            ASSERT_EQ(::lchown(link.c_str(), OTHER, OTHER), 0);
        }
        const auto as_victim = [&](const std::function<std::string()> &body) {
            return run_in_child([&] {
                if (victim != 0 && !become_user(victim, victim))
                    return std::string("cannot become the user");
                return body();
            });
        };
        const child_t shell = as_victim([&] {
            const int fd =
                ::open((dir / "shared/secret-copy").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            return fd < 0 ? std::string(std::strerror(errno)) : std::string();
        });
        const child_t ours = as_victim([&] { return put(dir / "shared/secret", bytes); });
        const bool followed = shell.said.empty();
        EXPECT_EQ(ours.said, followed ? "" : "cannot open " + dir / "shared/secret: " + shell.said);
        EXPECT_TRUE(same_bytes(read_text(dir / "secret"), followed ? bytes : "old"));
        EXPECT_TRUE(fs::is_symlink(dir / "shared/secret"));
        std::printf("[   INFO   ] the kernel %s the link for uid %u\n",
                    followed ? "follows" : "does not follow", static_cast<unsigned>(victim));
    }
}

// A child writing slowly into a file is stopped by a signal: the file keeps
// what it held, no temporary file stays, and the child ends by that signal.
TEST(OutputTarget, SignalsLeaveNoTemporaryFile)
{
    const std::string bytes = pattern(4096);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const bool named : {false, true}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + (named ? ", named" : ", unnamed"));
            scratch_dir_t dir;
            make_file(dir / "out.bin", "old", 0644);
            int ready[2];
            ASSERT_EQ(::pipe(ready), 0);
            const pid_t pid = ::fork();
            if (pid == 0) {
                // As started from a terminal, whatever the test's parent ignores.
                for (const int handled : {SIGINT, SIGTERM, SIGHUP})
                    std::signal(handled, SIG_DFL);
                temp_files_install_signal_handlers();
                output_use_named_temp_files(named);
                output_target_t target;
                std::string error;
                if (!output_open(dir / "out.bin", &target, &error))
                    ::_exit(2);
                const sink_t sink = output_sink(&target);
                sink_write(sink, bytes.data(), bytes.size());
                ::write(ready[1], "r", 1);
                for (int i = 0; i < 10000; ++i) {
                    sink_write(sink, bytes.data(), bytes.size());
                    ::usleep(1000);
                }
                ::_exit(3); // never killed
            }
            ::close(ready[1]);
            char said = 0;
            ASSERT_EQ(::read(ready[0], &said, 1), 1);
            ::close(ready[0]);
            EXPECT_EQ(hidden_files(dir.path), named ? 1 : 0);
            ::kill(pid, signal);
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(read_text(dir / "out.bin"), "old");
            EXPECT_EQ(hidden_files(dir.path), 0) << "a temporary file left";
        }
    }
}

// A reader that goes away (`| head`) ends the run as it ends cat: by SIGPIPE,
// the run's other outputs left as they were.
TEST(OutputTarget, ReaderGoneEndsTheRunQuietly)
{
    scratch_dir_t dir;
    make_file(dir / "out.bin", "old", 0644);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const child_t child = run_in_child([&] {
        ::signal(SIGPIPE, SIG_DFL);
        temp_files_install_signal_handlers();
        output_use_named_temp_files(true);
        output_target_t file, piped;
        std::string error;
        if (!output_open(dir / "out.bin", &file, &error) ||
            !output_open("/dev/fd/" + std::to_string(ends[1]), &piped, &error))
            return error;
        const std::string bytes = pattern(1000);
        sink_write(output_sink(&file), bytes.data(), bytes.size());
        sink_write(output_sink(&piped), bytes.data(), bytes.size());
        return std::string("still running");
    });
    ::close(ends[1]);
    EXPECT_TRUE(WIFSIGNALED(child.status) && WTERMSIG(child.status) == SIGPIPE) << child.said;
    EXPECT_EQ(read_text(dir / "out.bin"), "old");
    EXPECT_EQ(hidden_files(dir.path), 0);
}

} // namespace
