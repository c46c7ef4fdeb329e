#include "host/io/whole_files.h"

#include <filesystem>

#include "host/io/file_output.h"

namespace {

void write_whole(const std::string &path, const void *data, std::size_t n)
{
    std::string error;
    if (!write_file_whole(path, data, n, &error))
        throw write_failure_t{error};
}

} // namespace

void write_text(const std::string &path, const std::string &text)
{
    write_whole(path, text.data(), text.size());
}

void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes)
{
    write_whole(path, bytes.data(), bytes.size());
}

void make_folder(const std::string &dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw write_failure_t{"cannot create the folder " + dir + ": " + ec.message()};
}
