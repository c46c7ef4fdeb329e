// What the fuzzers of the programs' command lines share: the input split at
// NUL bytes into at most 16 arguments behind the program's name, a scratch
// folder to run in with standard output going nowhere, and a run of the
// command line in this process with what it says on stderr caught.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"

inline constexpr std::size_t FUZZ_MAX_ARGS = 16;

// The arguments, or none when one of them is to be passed over.
template <class PassedOver>
std::vector<std::string> fuzz_arguments(const char *program, const std::uint8_t *data,
                                        std::size_t size, PassedOver passed_over)
{
    std::vector<std::string> args{program};
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    while (!rest.empty() && args.size() <= FUZZ_MAX_ARGS) {
        const std::size_t nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view{} : rest.substr(nul + 1);
        if (passed_over(std::string_view(args.back())))
            return {};
    }
    return args;
}

struct fuzz_scratch_t {
    std::filesystem::path dir;
    std::string err_file;
    explicit fuzz_scratch_t(const char *name)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(name) + "_XXXXXX")).string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        dir = pattern;
        std::filesystem::current_path(dir);
        err_file = (dir.parent_path() / (dir.filename().string() + ".err")).string();
        // Standard output is an output like any other; nobody reads it here.
        const int null = ::open("/dev/null", O_WRONLY);
        FUZZ_CHECK(null >= 0 && ::dup2(null, STDOUT_FILENO) >= 0);
        ::close(null);
    }
};

// Runs command(argc, argv) with stderr caught in a file; returns its status
// and, in *said, the start of what it said.
template <class Command>
int fuzz_run(Command command, std::vector<std::string> &args, const fuzz_scratch_t &s,
             std::string *said)
{
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int err = ::open(s.err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FUZZ_CHECK(saved >= 0 && err >= 0 && ::dup2(err, STDERR_FILENO) >= 0);
    ::close(err);
    const int status = command(static_cast<int>(args.size()), argv.data());
    std::fflush(stderr);
    std::fflush(stdout);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::FILE *f = std::fopen(s.err_file.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buf[4096];
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    said->assign(buf, n);
    return status;
}
