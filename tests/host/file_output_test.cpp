// Outputs written whole or not at all, and targets that are no regular file
// written through, never replaced.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "host/io/file_output.h"
#include "tests/support/image_decode.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

enum class target_t { file, link, dangling_link, pipe };

struct case_t {
    const char *name;
    target_t kind;
    const char *path;    // in the scratch folder, or absolute
    rlim_t size_limit;   // 0: none
    int err;             // errno of the failure; 0: success
    const char *written; // where the bytes must be afterwards
};

TEST(FileOutput, WritesWholeOrLeavesThingsAsTheyWere)
{
    const case_t cases[] = {
        {"no such folder", target_t::file, "missing/out.bin", 0, ENOENT, nullptr},
        {"a folder in the way", target_t::file, "sub", 0, EISDIR, nullptr},
        {"a write past the size limit", target_t::file, "out.bin", 1000, EFBIG, nullptr},
        {"a file replaced, its mode kept", target_t::file, "out.bin", 0, 0, "out.bin"},
        {"a link followed", target_t::link, "link.bin", 0, 0, "sub/real.bin"},
        {"a link to nothing yet", target_t::dangling_link, "link.bin", 0, 0, "sub/new.bin"},
        {"a pipe written through", target_t::pipe, "pipe", 0, 0, nullptr},
        {"a device written through", target_t::file, "/dev/full", 0, ENOSPC, nullptr},
    };
    const std::string data(4096, 'x');
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    for (const case_t &c : cases) {
        SCOPED_TRACE(c.name);
        scratch_dir_t dir;
        fs::create_directory(dir / "sub");
        std::ofstream(dir / "out.bin") << "old";
        std::ofstream(dir / "sub/real.bin") << "old";
        fs::permissions(dir / "out.bin", fs::perms(0604));
        if (c.kind == target_t::link)
            fs::create_symlink("sub/real.bin", dir / "link.bin");
        if (c.kind == target_t::dangling_link)
            fs::create_symlink("sub/new.bin", dir / "link.bin");
        if (c.kind == target_t::pipe) {
            ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
        }
        const std::string path = c.path[0] == '/' ? c.path : dir / c.path;
        // A reader on the pipe, as a program downstream would be.
        std::future<std::string> piped;
        if (c.kind == target_t::pipe)
            piped = std::async(std::launch::async, [path] { return read_text(path); });

        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{c.size_limit, saved.rlim_max};
        if (c.size_limit != 0)
            setrlimit(RLIMIT_FSIZE, &small);
        std::string error;
        const bool ok = write_file_whole(path, data.data(), data.size(), &error);
        setrlimit(RLIMIT_FSIZE, &saved);

        EXPECT_EQ(ok, c.err == 0) << error;
        if (c.err != 0) {
            EXPECT_NE(error.find(path + ": " + std::strerror(c.err)), std::string::npos) << error;
            EXPECT_EQ(read_text(dir / "out.bin"), "old");
        }
        if (c.written != nullptr) {
            EXPECT_EQ(read_text(dir / c.written), data);
        }
        if (c.kind == target_t::pipe) {
            EXPECT_EQ(piped.get(), data);
            EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
        }
        if (c.kind == target_t::link || c.kind == target_t::dangling_link) {
            EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
        }
        EXPECT_EQ(fs::status(dir / "out.bin").permissions(), fs::perms(0604));
        // Nothing but what was there, and what was written through a link.
        std::size_t entries = 0;
        for (const auto &e : fs::recursive_directory_iterator(dir.path))
            entries += e.path().string().find(".bin.") == std::string::npos;
        const std::size_t before = 3 + (c.kind != target_t::file);
        EXPECT_EQ(entries, before + (c.kind == target_t::dangling_link)) << "a temporary file left";
    }
    std::signal(SIGXFSZ, old_handler);
}

} // namespace
