// Preloaded into a test program: reads of files with chosen names fail with
// EIO, as on a failing disk. The test names the files with tsuzuri_eio_fail;
// its presence tells the test that the shim was preloaded. A slow disk too:
// renames onto names given to tsuzuri_hold_renames wait until the test
// releases them, so that a save stands half done as long as the test likes,
// and tsuzuri_count_renames counts the files put in place.
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
char held[1024];    /* "a.tsz|復元-": beginnings of the last parts of targets whose renames wait */
char counted[256];  /* the beginning of the names whose renames are counted */
int renames;

/* Whether the last part of `path` begins with one of the '|'-separated `list`. */
static bool begins(const char* path, const char* list) {
    const char* base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    for (const char* entry = list; *entry != '\0';) {
        const char* end = std::strchr(entry, '|');
        const size_t size = end ? static_cast<size_t>(end - entry) : std::strlen(entry);
        if (size > 0 && std::strncmp(base, entry, size) == 0)
            return true;
        entry += size + (end ? 1 : 0);
    }
    return false;
}

void tsuzuri_hold_renames(const char* list) {
    pthread_mutex_lock(&held_lock);
    snprintf(held, sizeof held, "%s", list);
    pthread_cond_broadcast(&released);
    pthread_mutex_unlock(&held_lock);
}

/* Returns how many renames went onto names beginning as the last call said,
   and counts from nought for names beginning with `prefix`. */
int tsuzuri_count_renames(const char* prefix) {
    pthread_mutex_lock(&held_lock);
    const int done = renames;
    renames = 0;
    snprintf(counted, sizeof counted, "%s", prefix);
    pthread_mutex_unlock(&held_lock);
    return done;
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (!real)
        real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    pthread_mutex_lock(&held_lock);
    while (begins(to, held))
        pthread_cond_wait(&released, &held_lock);
    if (begins(to, counted))
        ++renames;
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
