// Interposes the file system calls of the C library inside this test program: its definitions come before
// libc's (and the sanitizer's) in symbol lookup, so libzip and Qt call these too.

#include "SyscallFaults.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace faults {
namespace {

thread_local bool armed = false;
thread_local int counted = 0;
thread_local int failAtCall = 0;
thread_local int failError = 0;
thread_local bool wasHit = false;
thread_local Call hitKind = Call::Open;

template <typename F> F real(const char* symbol) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, symbol));
}

// True when this call is to fail; errno is then set.
bool shouldFail(Call kind) {
    if (!armed)
        return false;
    if (++counted != failAtCall)
        return false;
    wasHit = true;
    hitKind = kind;
    errno = failError;
    return true;
}

} // namespace

void arm(int failAt, int error) {
    counted = 0;
    failAtCall = failAt;
    failError = error;
    wasHit = false;
    armed = true;
}

int disarm() {
    armed = false;
    return counted;
}

bool hit() {
    return wasHit;
}

Call hitCall() {
    return hitKind;
}

const char* name(Call call) {
    switch (call) {
    case Call::Open:
        return "open";
    case Call::Write:
        return "write";
    case Call::Sync:
        return "fsync";
    case Call::Rename:
        return "rename";
    case Call::Close:
        return "close";
    }
    return "?";
}

} // namespace faults

using faults::Call;
using faults::shouldFail;

#define FORWARD(type, symbol) static const auto next = real<type>(symbol)
using faults::real;

namespace {
mode_t modeArgument(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}
} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    FORWARD(int (*)(const char*, int, ...), "open");
    return shouldFail(Call::Open) ? -1 : next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    FORWARD(int (*)(const char*, int, ...), "open64");
    return shouldFail(Call::Open) ? -1 : next(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    FORWARD(int (*)(int, const char*, int, ...), "openat");
    return shouldFail(Call::Open) ? -1 : next(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeArgument(flags, args);
    va_end(args);
    FORWARD(int (*)(int, const char*, int, ...), "openat64");
    return shouldFail(Call::Open) ? -1 : next(dir, path, flags, mode);
}

int mkstemp(char* pattern) {
    FORWARD(int (*)(char*), "mkstemp");
    return shouldFail(Call::Open) ? -1 : next(pattern);
}

int mkstemp64(char* pattern) {
    FORWARD(int (*)(char*), "mkstemp64");
    return shouldFail(Call::Open) ? -1 : next(pattern);
}

int mkostemp(char* pattern, int flags) {
    FORWARD(int (*)(char*, int), "mkostemp");
    return shouldFail(Call::Open) ? -1 : next(pattern, flags);
}

int mkostemp64(char* pattern, int flags) {
    FORWARD(int (*)(char*, int), "mkostemp64");
    return shouldFail(Call::Open) ? -1 : next(pattern, flags);
}

FILE* fopen(const char* path, const char* mode) {
    FORWARD(FILE * (*)(const char*, const char*), "fopen");
    return shouldFail(Call::Open) ? nullptr : next(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    FORWARD(FILE * (*)(const char*, const char*), "fopen64");
    return shouldFail(Call::Open) ? nullptr : next(path, mode);
}

FILE* fdopen(int fd, const char* mode) {
    FORWARD(FILE * (*)(int, const char*), "fdopen");
    return shouldFail(Call::Open) ? nullptr : next(fd, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
    FORWARD(ssize_t(*)(int, const void*, size_t), "write");
    return shouldFail(Call::Write) ? -1 : next(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t at) {
    FORWARD(ssize_t(*)(int, const void*, size_t, off_t), "pwrite");
    return shouldFail(Call::Write) ? -1 : next(fd, data, size, at);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t at) {
    FORWARD(ssize_t(*)(int, const void*, size_t, off64_t), "pwrite64");
    return shouldFail(Call::Write) ? -1 : next(fd, data, size, at);
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
    FORWARD(ssize_t(*)(int, const struct iovec*, int), "writev");
    return shouldFail(Call::Write) ? -1 : next(fd, parts, count);
}

size_t fwrite(const void* data, size_t size, size_t count, FILE* stream) {
    FORWARD(size_t(*)(const void*, size_t, size_t, FILE*), "fwrite");
    return shouldFail(Call::Write) ? 0 : next(data, size, count, stream);
}

int fsync(int fd) {
    FORWARD(int (*)(int), "fsync");
    return shouldFail(Call::Sync) ? -1 : next(fd);
}

int fdatasync(int fd) {
    FORWARD(int (*)(int), "fdatasync");
    return shouldFail(Call::Sync) ? -1 : next(fd);
}

int rename(const char* from, const char* to) {
    FORWARD(int (*)(const char*, const char*), "rename");
    return shouldFail(Call::Rename) ? -1 : next(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    FORWARD(int (*)(int, const char*, int, const char*), "renameat");
    return shouldFail(Call::Rename) ? -1 : next(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    FORWARD(int (*)(int, const char*, int, const char*, unsigned), "renameat2");
    return shouldFail(Call::Rename) ? -1 : next(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    FORWARD(int (*)(int, const char*, int, const char*, int), "linkat");
    return shouldFail(Call::Rename) ? -1 : next(fromDir, from, toDir, to, flags);
}

// A failed close still releases the descriptor, as on Linux.
int close(int fd) {
    FORWARD(int (*)(int), "close");
    if (!shouldFail(Call::Close))
        return next(fd);
    const int error = errno;
    next(fd);
    errno = error;
    return -1;
}

int fclose(FILE* stream) {
    FORWARD(int (*)(FILE*), "fclose");
    if (!shouldFail(Call::Close))
        return next(stream);
    const int error = errno;
    next(stream);
    errno = error;
    return EOF;
}

} // extern "C"
