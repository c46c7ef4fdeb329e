#include "host/io/output_target.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/io/start_descriptors.h"
#include "host/io/target_place.h"
#include "host/io/temp_files.h"

namespace {

constexpr std::size_t TEMP_LEAF_KEPT = 16; // bytes of the target's name in a temporary name
constexpr int TEMP_NAME_TRIES = 100;
constexpr std::size_t COPY_CHUNK = 1 << 16;

bool named_only = false;

std::string shown(const std::string &name)
{
    return name == "-" ? "to standard output" : shown_name(name);
}

bool fail(const char *what, const std::string &name, int err, std::string *error)
{
    *error = std::string("cannot ") + what + " " + shown(name) + ": " +
             std::strerror(err != 0 ? err : EIO);
    return false;
}

void close_fd(int *fd)
{
    if (*fd >= 0)
        ::close(*fd);
    *fd = -1;
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// ".NAME-XXXXXX" with NAME cut short enough that a name of any length fits,
// and never inside a UTF-8 character.
std::string temp_name(const std::string &leaf)
{
    static constexpr char LETTERS[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::size_t kept = std::min(leaf.size(), TEMP_LEAF_KEPT);
    while (kept > 0 && kept < leaf.size() &&
           (static_cast<unsigned char>(leaf[kept]) & 0xC0) == 0x80)
        --kept;
    unsigned char random[6] = {};
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random)
        for (unsigned char &r : random)
            r = static_cast<unsigned char>(std::rand());
    std::string name = "." + leaf.substr(0, kept) + "-";
    for (const unsigned char r : random)
        name += LETTERS[r % (sizeof LETTERS - 1)];
    return name;
}

// An unnamed file in the folder, if the system makes one and it can be given
// a name at commit (through /proc); -1 with errno otherwise.
int unnamed_temp(int folder_fd)
{
    if (named_only) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = ::openat(folder_fd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::faccessat(AT_FDCWD, self.c_str(), F_OK, 0) != 0) {
        ::close(fd);
        errno = EOPNOTSUPP;
        return -1;
    }
    return fd;
}

// A file with a fresh short name, listed for the signal handlers from the
// moment it exists; its descriptor, or -1 with errno.
int named_temp(output_target_t *t, int folder_fd)
{
    signals_held_t held;
    hold_signals(&held);
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < TEMP_NAME_TRIES; ++tries) {
        const std::string name = temp_name(t->leaf);
        fd = ::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC,
                      0666);
        if (fd < 0 && errno != EEXIST)
            break;
        if (fd >= 0)
            t->temp_name = name;
    }
    if (fd >= 0) {
        t->temp_slot = temp_file_listed(folder_fd, t->temp_name.c_str());
        if (t->temp_slot < 0) {
            ::unlinkat(folder_fd, t->temp_name.c_str(), 0);
            t->temp_name.clear();
            close_fd(&fd);
            errno = EMFILE;
        }
    }
    const int err = errno;
    release_signals(&held);
    errno = err;
    return fd;
}

// The temporary file in folder_fd: 0, or errno.
int make_temp(output_target_t *t, int folder_fd)
{
    int fd = unnamed_temp(folder_fd);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = named_temp(t, folder_fd);
    if (fd < 0)
        return errno;
    t->temp_folder_fd = folder_fd;
    t->out.fd = fd;
    return 0;
}

// Gives the temporary file the owner, group and mode of the file it replaces,
// as far as the kernel allows; whether all three now match.
bool dressed_like(int fd, const struct stat &target)
{
    struct stat now {};
    if (::fchown(fd, target.st_uid, target.st_gid) != 0 ||
        ::fchmod(fd, target.st_mode & 07777) != 0 || ::fstat(fd, &now) != 0)
        return false;
    return now.st_uid == target.st_uid && now.st_gid == target.st_gid &&
           (now.st_mode & 07777) == (target.st_mode & 07777);
}

void close_folders(output_target_t *t)
{
    if (t->temp_folder_fd != t->folder_fd)
        close_fd(&t->temp_folder_fd);
    t->temp_folder_fd = -1;
    close_fd(&t->folder_fd);
}

bool open_descriptor(output_target_t *t, int fd, std::string *error)
{
    t->kind = output_kind_t::descriptor;
    const int flags = ::fcntl(fd, F_GETFL);
    if (!descriptor_inherited(fd) || flags < 0 || (flags & O_PATH) != 0 ||
        (flags & O_ACCMODE) == O_RDONLY)
        return fail("write", t->name, EBADF, error);
    t->out.fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    return t->out.fd >= 0 || fail("write", t->name, errno, error);
}

// The shell's `>` opens with O_CREAT, and the kernel's protections of sticky
// folders (fs.protected_regular, fs.protected_fifos) look at that flag; it
// makes nothing here, as the name exists (or, if it vanished an instant ago,
// makes the empty file `>` would have made).
int open_as_shell_would(int folder_fd, const std::string &leaf)
{
    return ::openat(folder_fd, leaf.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                    0666);
}

bool open_stream(output_target_t *t, target_place_t *place, std::string *error)
{
    t->kind = output_kind_t::stream;
    t->out.fd = open_as_shell_would(place->folder_fd, place->leaf);
    const int err = errno;
    close_target_place(place);
    struct stat now {};
    if (t->out.fd < 0)
        return fail("open", t->name, err, error);
    if (::fstat(t->out.fd, &now) != 0 || !same_file(now, place->st)) {
        close_fd(&t->out.fd);
        *error = "cannot open " + shown(t->name) + ": it changed while it was being opened";
        return false;
    }
    return true;
}

// Where the temporary file of a file written in place goes when its own
// folder takes no new file.
int spare_folder()
{
    const char *tmp = std::getenv("TMPDIR");
    return ::open(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

bool open_existing_file(output_target_t *t, const struct stat &st, std::string *error)
{
    struct stat now {};
    if (::fstat(t->place_fd, &now) != 0 || !same_file(now, st)) {
        *error = "cannot open " + shown(t->name) + ": it changed while it was being opened";
        return false;
    }
    int err = make_temp(t, t->folder_fd);
    const bool folder_closed = err == EACCES || err == EPERM;
    if (folder_closed) {
        const int spare = spare_folder();
        err = spare < 0 ? errno : make_temp(t, spare);
        if (err != 0 && spare >= 0)
            ::close(spare);
    }
    if (err != 0)
        return fail("create a temporary file for", t->name, err, error);
    // Replaced unless that would harm: another name of the file would keep
    // the old bytes, or the file would change hands.
    if (!folder_closed && st.st_nlink == 1 && dressed_like(t->out.fd, st))
        close_fd(&t->place_fd);
    return true;
}

bool open_file(output_target_t *t, target_place_t *place, std::string *error)
{
    t->kind = output_kind_t::file;
    t->folder_fd = place->folder_fd;
    place->folder_fd = -1;
    t->leaf = place->leaf;
    bool opened = false;
    if (!place->exists) {
        const int err = make_temp(t, t->folder_fd);
        opened = err == 0 || fail("create", t->name, err, error);
    } else {
        t->place_fd = open_as_shell_would(t->folder_fd, t->leaf);
        opened = t->place_fd >= 0 ? open_existing_file(t, place->st, error)
                                  : fail("open", t->name, errno, error);
    }
    if (!opened) {
        output_discard(t);
        return false;
    }
    t->seekable = true;
    return true;
}

bool write_all_at(int fd, const char *data, std::size_t n, off_t at)
{
    while (n > 0) {
        const ssize_t done = ::pwrite(fd, data, n, at);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            errno = done < 0 ? errno : EIO;
            return false;
        }
        data += done;
        at += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// The bytes copied over the target's own, as `>` would leave them; the space
// is asked for first, so a full disk is found before the target is touched.
bool copy_in_place(int from, int to)
{
    struct stat st {};
    if (::fstat(from, &st) != 0)
        return false;
    if (st.st_size > 0 && ::fallocate(to, FALLOC_FL_KEEP_SIZE, 0, st.st_size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    std::vector<char> chunk(COPY_CHUNK);
    for (off_t at = 0; at < st.st_size;) {
        const ssize_t got = ::pread(from, chunk.data(), chunk.size(), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            errno = got < 0 ? errno : EIO;
            return false;
        }
        if (!write_all_at(to, chunk.data(), static_cast<std::size_t>(got), at))
            return false;
        at += got;
    }
    return ::ftruncate(to, st.st_size) == 0;
}

// The unnamed temporary file gets a short name beside the target, listed
// for the signal handlers until the rename takes it away.
bool name_temp(output_target_t *t)
{
    const std::string self = "/proc/self/fd/" + std::to_string(t->out.fd);
    for (int tries = 0; tries < TEMP_NAME_TRIES; ++tries) {
        const std::string name = temp_name(t->leaf);
        t->temp_slot = temp_file_listed(t->folder_fd, name.c_str());
        if (t->temp_slot < 0) {
            errno = EMFILE;
            return false;
        }
        if (::linkat(AT_FDCWD, self.c_str(), t->folder_fd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            t->temp_name = name;
            return true;
        }
        const int err = errno;
        temp_file_unlisted(t->temp_slot);
        t->temp_slot = -1;
        if (err != EEXIST) {
            errno = err;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

bool put_in_place(output_target_t *t, std::string *error)
{
    if (t->place_fd >= 0) {
        if (!copy_in_place(t->out.fd, t->place_fd))
            return fail("write", t->name, errno, error);
        const int place_fd = t->place_fd;
        t->place_fd = -1;
        return ::close(place_fd) == 0 || fail("write", t->name, errno, error);
    }
    signals_held_t held;
    hold_signals(&held);
    bool placed =
        (!t->temp_name.empty() || name_temp(t)) &&
        ::renameat(t->temp_folder_fd, t->temp_name.c_str(), t->folder_fd, t->leaf.c_str()) == 0;
    const int err = errno;
    if (placed) {
        temp_file_unlisted(t->temp_slot);
        t->temp_slot = -1;
        t->temp_name.clear();
    }
    release_signals(&held);
    return placed || fail("replace", t->name, err, error);
}

bool commit_file(output_target_t *t, std::string *error)
{
    if (t->out.err != 0)
        return fail("write", t->name, t->out.err, error);
    // Some file systems (NFS) report a failed write only at close; closing a
    // copy asks them while the unnamed file still has a descriptor.
    const int probe = ::dup(t->out.fd);
    if (probe < 0 || ::close(probe) != 0)
        return fail("write", t->name, errno, error);
    return put_in_place(t, error);
}

bool commit_through(output_target_t *t, std::string *error)
{
    const int fd = t->out.fd;
    t->out.fd = -1;
    if (t->out.err != 0) {
        ::close(fd);
        return fail("write", t->name, t->out.err, error);
    }
    return ::close(fd) == 0 || fail("write", t->name, errno, error);
}

} // namespace

bool output_open(const std::string &name, output_target_t *target, std::string *error)
{
    *target = output_target_t{};
    target->name = name;
    const int named = descriptor_named(name);
    if (named >= 0)
        return open_descriptor(target, named, error);
    target_place_t place;
    if (!find_target_place(name, &place, error))
        return false;
    if (place.descriptor >= 0) {
        close_target_place(&place);
        return open_descriptor(target, place.descriptor, error);
    }
    if (place.exists && S_ISDIR(place.st.st_mode)) {
        close_target_place(&place);
        return fail("open", name, EISDIR, error);
    }
    if (place.exists && !S_ISREG(place.st.st_mode))
        return open_stream(target, &place, error);
    return open_file(target, &place, error);
}

sink_t output_sink(output_target_t *target) { return fd_sink(&target->out); }

bool output_commit(output_target_t *target, std::string *error)
{
    if (target->kind != output_kind_t::file)
        return commit_through(target, error);
    const bool committed = commit_file(target, error);
    output_discard(target);
    return committed;
}

void output_discard(output_target_t *target)
{
    close_fd(&target->out.fd);
    if (!target->temp_name.empty()) {
        signals_held_t held;
        hold_signals(&held);
        ::unlinkat(target->temp_folder_fd, target->temp_name.c_str(), 0);
        temp_file_unlisted(target->temp_slot);
        release_signals(&held);
    }
    target->temp_name.clear();
    target->temp_slot = -1;
    close_fd(&target->place_fd);
    close_folders(target);
}

std::string output_failure(const output_target_t &target)
{
    std::string error;
    if (target.out.err != 0)
        fail("write", target.name, target.out.err, &error);
    return error;
}

bool output_seekable(const output_target_t &target)
{
    if (target.seekable)
        return true;
    const int flags = ::fcntl(target.out.fd, F_GETFL);
    return flags >= 0 && (flags & O_APPEND) == 0 && ::lseek(target.out.fd, 0, SEEK_CUR) >= 0;
}

bool output_is_stream(const std::string &name)
{
    if (descriptor_named(name) >= 0)
        return true;
    target_place_t place;
    std::string error;
    if (!find_target_place(name, &place, &error))
        return false;
    const bool stream = place.descriptor >= 0 ||
                        (place.exists && !S_ISREG(place.st.st_mode) && !S_ISDIR(place.st.st_mode));
    close_target_place(&place);
    return stream;
}

bool output_write(const std::string &name, const void *data, std::size_t n, std::string *error)
{
    output_target_t target;
    if (!output_open(name, &target, error))
        return false;
    sink_write(output_sink(&target), data, n);
    return output_commit(&target, error);
}

void output_use_named_temp_files(bool named) { named_only = named; }
