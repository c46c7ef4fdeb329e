#include "host/io/target_place.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int LINK_HOPS_MAX = 40; // as the kernel's own limit on a path's links

struct split_t {
    std::string folder, leaf;
};

split_t split(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// "dir/", "." and ".." name a folder, never a file in it.
bool names_folder(const std::string &leaf) { return leaf.empty() || leaf == "." || leaf == ".."; }

std::string joined(const std::string &folder, const std::string &relative)
{
    if (relative == ".")
        return folder;
    if (relative.front() == '/' || folder == ".")
        return relative;
    return folder + "/" + relative;
}

bool fail_open(const std::string &path, int err, std::string *error)
{
    *error = "cannot open " + shown_name(path) + ": " + std::strerror(err != 0 ? err : EIO);
    return false;
}

bool fail_changed(const std::string &path, std::string *error)
{
    *error = "cannot open " + shown_name(path) + ": it changed while it was being opened";
    return false;
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Moves the place to `folder` (relative to the place's folder, or to the
// current one at first).
bool enter_folder(target_place_t *place, const std::string &folder, const std::string &path,
                  std::string *error)
{
    const int base = place->folder_fd >= 0 ? place->folder_fd : AT_FDCWD;
    const int fd = ::openat(base, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int err = errno;
    const std::string shown = place->folder_fd >= 0 ? joined(place->folder, folder) : folder;
    close_target_place(place);
    if (fd < 0 && err == ENOENT) {
        *error = "the folder " + shown_name(shown) + " for " + shown_name(path) + " does not exist";
        return false;
    }
    if (fd < 0)
        return fail_open(path, err, error);
    place->folder_fd = fd;
    place->folder = shown;
    return true;
}

bool read_link(const target_place_t &place, std::string *text)
{
    char link[PATH_MAX];
    const ssize_t n = ::readlinkat(place.folder_fd, place.leaf.c_str(), link, sizeof link);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof link) {
        errno = n < 0 ? errno : ENAMETOOLONG;
        return false;
    }
    text->assign(link, static_cast<std::size_t>(n));
    return true;
}

} // namespace

bool find_target_place(const std::string &path, target_place_t *place, std::string *error)
{
    *place = target_place_t{};
    if (path.empty())
        return fail_open(path, ENOENT, error);
    // The kernel's word on every link on the way, with its protections; the
    // walk below only finds the folder and name it reached.
    struct stat seen {};
    const int seen_fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (seen_fd < 0 && errno != ENOENT)
        return fail_open(path, errno, error);
    const bool seen_exists = seen_fd >= 0 && ::fstat(seen_fd, &seen) == 0;
    if (seen_fd >= 0)
        ::close(seen_fd);
    split_t at = split(path);
    for (int hop = 0; hop <= LINK_HOPS_MAX; ++hop) {
        if (!enter_folder(place, at.folder, path, error))
            return false;
        place->leaf = at.leaf;
        const char *leaf = names_folder(at.leaf) ? "." : at.leaf.c_str();
        if (::fstatat(place->folder_fd, leaf, &place->st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || seen_exists)
                return errno == ENOENT ? fail_changed(path, error) : fail_open(path, errno, error);
            return true; // a new file, where `>` would make it
        }
        if (!S_ISLNK(place->st.st_mode)) {
            place->exists = true;
            return seen_exists && same_file(seen, place->st) ? true : fail_changed(path, error);
        }
        std::string text;
        if (!read_link(*place, &text))
            return fail_open(path, errno, error);
        if (text != "-" && descriptor_named(text) >= 0) {
            place->descriptor = descriptor_named(text);
            return true;
        }
        at = split(text);
    }
    close_target_place(place);
    return fail_open(path, ELOOP, error);
}

void close_target_place(target_place_t *place)
{
    if (place->folder_fd >= 0)
        ::close(place->folder_fd);
    place->folder_fd = -1;
}

int descriptor_named(const std::string &path)
{
    if (path == "-" || path == "/dev/stdout")
        return 1;
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stderr")
        return 2;
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string &prefix :
         {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own}) {
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
            continue;
        long long fd = 0;
        for (std::size_t i = prefix.size(); i < path.size(); ++i) {
            if (path[i] < '0' || path[i] > '9' || fd > INT_MAX)
                return -1;
            fd = fd * 10 + (path[i] - '0');
        }
        return fd <= INT_MAX ? static_cast<int>(fd) : -1;
    }
    return -1;
}

std::string shown_name(std::string_view name)
{
    static constexpr char HEX[] = "0123456789abcdef";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        out += "\\x";
        out += HEX[byte >> 4];
        out += HEX[byte & 0xF];
    }
    return out;
}
