#include "host/io/output_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/io/start_descriptors.h"
#include "host/io/target_place.h"

namespace {

// What a file is, to tell whether two names are one file: a file that exists
// by device and inode, a new one by its folder's and its name there.
struct identity_t {
    bool known = false;
    dev_t dev = 0;
    ino_t ino = 0;
    std::string leaf; // a new file's name in the folder dev/ino
    bool to_standard_output = false;
    bool discards = false; // the null device, which may take any number of outputs
};

bool same(const identity_t &a, const identity_t &b)
{
    return a.known && b.known && a.dev == b.dev && a.ino == b.ino && a.leaf == b.leaf;
}

std::string named(const run_file_t &file)
{
    const std::string path = shown_name(file.path);
    return file.option.empty() ? path : file.option + " " + path;
}

identity_t identity_of(const struct stat &st)
{
    identity_t id;
    id.known = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    struct stat null {};
    id.discards = S_ISCHR(st.st_mode) && ::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
                  st.st_rdev == null.st_rdev;
    return id;
}

// An open descriptor's file; unknown where it is not open (opening the output
// says so), and standard output where it is the same file as descriptor 1.
identity_t descriptor_identity(int fd)
{
    struct stat st {
    }, out{};
    if (!descriptor_inherited(fd) || ::fstat(fd, &st) != 0) {
        identity_t id;
        id.to_standard_output = fd == STDOUT_FILENO;
        return id;
    }
    identity_t id = identity_of(st);
    id.to_standard_output =
        fd == STDOUT_FILENO ||
        (descriptor_inherited(STDOUT_FILENO) && ::fstat(STDOUT_FILENO, &out) == 0 &&
         out.st_dev == st.st_dev && out.st_ino == st.st_ino);
    return id;
}

bool output_identity(const run_file_t &file, identity_t *id, std::string *error)
{
    const int fd = descriptor_named(file.path);
    if (fd >= 0) {
        *id = descriptor_identity(fd);
        return true;
    }
    target_place_t place;
    if (!find_target_place(file.path, &place, error))
        return false;
    bool fine = true;
    if (place.descriptor >= 0) {
        *id = descriptor_identity(place.descriptor);
    } else if (place.exists && S_ISDIR(place.st.st_mode)) {
        *error = named(file) + " is a folder";
        fine = false;
    } else if (place.exists) {
        *id = identity_of(place.st);
    } else if (::faccessat(place.folder_fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
        *error = "cannot make " + shown_name(file.path) + " in the folder " +
                 shown_name(place.folder) + ": " + std::strerror(errno);
        fine = false;
    } else {
        struct stat folder {};
        fine = ::fstat(place.folder_fd, &folder) == 0;
        *id = identity_of(folder);
        id->leaf = place.leaf;
        if (!fine)
            *error = "cannot open " + shown_name(file.path) + ": " + std::strerror(errno);
    }
    close_target_place(&place);
    return fine;
}

// An input that cannot be opened is its reader's to report.
identity_t input_identity(const run_file_t &file)
{
    const int fd = descriptor_named(file.path);
    if (file.path == "-")
        return {};
    if (fd >= 0)
        return descriptor_identity(fd);
    struct stat st {};
    return ::stat(file.path.c_str(), &st) == 0 ? identity_of(st) : identity_t{};
}

bool check_standard_output(const std::vector<run_file_t> &files, const std::vector<identity_t> &ids,
                           std::string *error)
{
    const run_file_t *first = nullptr;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].is_output || !ids[i].to_standard_output)
            continue;
        if (first != nullptr) {
            *error = "only one output can go to standard output: " + named(*first) + " and " +
                     named(files[i]);
            return false;
        }
        first = &files[i];
    }
    return true;
}

bool check_pairs(const std::vector<run_file_t> &files, const std::vector<identity_t> &ids,
                 std::string *error)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const bool some_output = files[i].is_output || files[j].is_output;
            if (some_output && same(ids[i], ids[j]) && !ids[i].discards) {
                *error = named(files[i]) + " and " + named(files[j]) + " are the same file";
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool check_run_files(const std::vector<run_file_t> &files, std::string *error)
{
    std::vector<identity_t> ids(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].is_output)
            ids[i] = input_identity(files[i]);
        else if (!output_identity(files[i], &ids[i], error))
            return false;
    }
    return check_standard_output(files, ids, error) && check_pairs(files, ids, error);
}
