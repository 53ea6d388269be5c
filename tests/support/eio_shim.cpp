// Preloaded into a test program: reads of files with chosen names fail with
// EIO, as on a failing disk. The test names the files with tsuzuri_eio_fail;
// its presence tells the test that the shim was preloaded. A slow disk too:
// renames onto names given to tsuzuri_hold_renames wait until the test
// releases them, so that a save stands half done as long as the test likes.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern "C" {

namespace {

pthread_mutex_t names_lock = PTHREAD_MUTEX_INITIALIZER;
char names[1024]; /* "|c.mid|a.tsz|": the last parts of failing paths */

}  // namespace

void tsuzuri_eio_fail(const char* list) {
    pthread_mutex_lock(&names_lock);
    snprintf(names, sizeof names, "|%s|", list);
    pthread_mutex_unlock(&names_lock);
}

static bool failing(int fd) {
    char link[64], target[4096], wanted[4200];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    const char* base = std::strrchr(target, '/');
    snprintf(wanted, sizeof wanted, "|%s|", base ? base + 1 : target);
    pthread_mutex_lock(&names_lock);
    const bool found = names[0] != '\0' && std::strstr(names, wanted) != nullptr;
    pthread_mutex_unlock(&names_lock);
    return found;
}

pthread_mutex_t held_lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t released = PTHREAD_COND_INITIALIZER;
char held[1024]; /* "|a.tsz|": the last parts of targets whose renames wait */

void tsuzuri_hold_renames(const char* list) {
    pthread_mutex_lock(&held_lock);
    snprintf(held, sizeof held, "|%s|", list);
    pthread_cond_broadcast(&released);
    pthread_mutex_unlock(&held_lock);
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (!real)
        real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    const char* base = std::strrchr(to, '/');
    char wanted[4200];
    snprintf(wanted, sizeof wanted, "|%s|", base ? base + 1 : to);
    pthread_mutex_lock(&held_lock);
    while (held[0] != '\0' && std::strstr(held, wanted) != nullptr)
        pthread_cond_wait(&released, &held_lock);
    pthread_mutex_unlock(&held_lock);
    return real(from, to);
}

ssize_t read(int fd, void* buf, size_t count) {
    static ssize_t (*real)(int, void*, size_t);
    if (!real)
        real = reinterpret_cast<ssize_t (*)(int, void*, size_t)>(dlsym(RTLD_NEXT, "read"));
    if (failing(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd, buf, count);
}

ssize_t pread64(int fd, void* buf, size_t count, off_t offset) {
    static ssize_t (*real)(int, void*, size_t, off_t);
    if (!real)
        real =
            reinterpret_cast<ssize_t (*)(int, void*, size_t, off_t)>(dlsym(RTLD_NEXT, "pread64"));
    if (failing(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd, buf, count, offset);
}

}  // extern "C"
