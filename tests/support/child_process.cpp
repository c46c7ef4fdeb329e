#include "tests/support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int ANSWER_FD_MIN = 100;

} // namespace

child_t run_in_child(const std::function<std::string()> &body)
{
    int link[2];
    if (::pipe(link) != 0)
        return {-1, "no pipe"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(link[0]);
        // Out of the way of the descriptors a body sets up or closes.
        const int answer = ::fcntl(link[1], F_DUPFD_CLOEXEC, ANSWER_FD_MIN);
        ::close(link[1]);
        const std::string said = body();
        for (std::size_t at = 0; at < said.size();) {
            const ssize_t n = ::write(answer, said.data() + at, said.size() - at);
            if (n <= 0)
                break;
            at += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(link[1]);
    std::string said;
    char chunk[4096];
    for (ssize_t n; (n = ::read(link[0], chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        said.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(link[0]);
    int status = -1;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {status, said};
}

bool become_user(uid_t uid, gid_t gid)
{
    return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 &&
           ::setresuid(uid, uid, uid) == 0;
}
