// The counting operator new and delete and, outside sanitizer builds, the interposed C library
// functions: each counts its call, then forwards to the next definition of its symbol (the C
// library's). Calls the C library makes internally are not seen, so stdio is interposed at its
// entry points as well as the system calls.
#include "RealtimeAudit.h"

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <new>

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

namespace {

std::atomic<long> gFrees{0};
std::atomic<long> gLockOperations{0};
std::atomic<long> gBlockingCalls{0};
bool gTrap = false;

[[gnu::constructor]] void readTrapSetting() { gTrap = std::getenv("REALTIME_AUDIT_TRAP"); }

void count(std::atomic<long>& counter) noexcept {
  if (!gCounting.load(std::memory_order_relaxed))
    return;
  counter.fetch_add(1, std::memory_order_relaxed);
  if (gTrap)
    std::raise(SIGTRAP);
}

} // namespace

RealtimeCounts realtimeCounts() noexcept {
  return {gAllocations.load(), gFrees.load(), gLockOperations.load(), gBlockingCalls.load()};
}

void resetRealtimeCounts() noexcept {
  gAllocations = 0;
  gFrees = 0;
  gLockOperations = 0;
  gBlockingCalls = 0;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

bool auditsSystemCalls() noexcept { return false; }

namespace {
void* rawAllocate(std::size_t align, std::size_t size) noexcept {
  return std::aligned_alloc(align, (size + align - 1) / align * align);
}
void rawFree(void* p) noexcept { std::free(p); }
} // namespace

#else

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <semaphore.h>
#include <sys/epoll.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>

bool auditsSystemCalls() noexcept { return true; }

extern "C" {
void* __libc_malloc(std::size_t) noexcept;
void* __libc_calloc(std::size_t, std::size_t) noexcept;
void* __libc_realloc(void*, std::size_t) noexcept;
void* __libc_memalign(std::size_t, std::size_t) noexcept;
void __libc_free(void*) noexcept;
}

namespace {

void* rawAllocate(std::size_t align, std::size_t size) noexcept {
  return __libc_memalign(align, size);
}
void rawFree(void* p) noexcept { __libc_free(p); }

template <std::size_t N> struct SymbolName {
  constexpr SymbolName(const char (&s)[N]) { std::copy_n(s, N, text); }
  char text[N];
};

// The next definition of a symbol, looked up on first use; the pointer is constant-initialised,
// so calls made before static initialisation find it too.
template <SymbolName name, class F> F next() noexcept {
  static constinit F slot = nullptr;
  if (!slot)
    slot = reinterpret_cast<F>(dlsym(RTLD_NEXT, name.text));
  return slot;
}

template <SymbolName name, class R, class... A> R locking(R (*)(A...), A... args) {
  count(gLockOperations);
  return next<name, R (*)(A...)>()(args...);
}

template <SymbolName name, class R, class... A> R blocking(R (*)(A...), A... args) {
  count(gBlockingCalls);
  return next<name, R (*)(A...)>()(args...);
}

} // namespace

extern "C" {

void* malloc(std::size_t n) noexcept {
  count(gAllocations);
  return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) noexcept {
  count(gAllocations);
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) noexcept {
  count(gAllocations);
  return __libc_realloc(p, n);
}
void* aligned_alloc(std::size_t align, std::size_t n) noexcept {
  count(gAllocations);
  return __libc_memalign(align, n);
}
void* memalign(std::size_t align, std::size_t n) noexcept {
  count(gAllocations);
  return __libc_memalign(align, n);
}
int posix_memalign(void** out, std::size_t align, std::size_t n) noexcept {
  count(gAllocations);
  void* p = __libc_memalign(align, n);
  if (!p)
    return ENOMEM;
  *out = p;
  return 0;
}
void free(void* p) noexcept {
  if (p)
    count(gFrees);
  __libc_free(p);
}

int pthread_mutex_lock(pthread_mutex_t* m) noexcept {
  return locking<"pthread_mutex_lock">(pthread_mutex_lock, m);
}
int pthread_mutex_trylock(pthread_mutex_t* m) noexcept {
  return locking<"pthread_mutex_trylock">(pthread_mutex_trylock, m);
}
int pthread_mutex_timedlock(pthread_mutex_t* m, const timespec* t) noexcept {
  return locking<"pthread_mutex_timedlock">(pthread_mutex_timedlock, m, t);
}
int pthread_cond_wait(pthread_cond_t* c, pthread_mutex_t* m) {
  return locking<"pthread_cond_wait">(pthread_cond_wait, c, m);
}
int pthread_cond_timedwait(pthread_cond_t* c, pthread_mutex_t* m, const timespec* t) {
  return locking<"pthread_cond_timedwait">(pthread_cond_timedwait, c, m, t);
}
int pthread_cond_signal(pthread_cond_t* c) noexcept {
  return locking<"pthread_cond_signal">(pthread_cond_signal, c);
}
int pthread_cond_broadcast(pthread_cond_t* c) noexcept {
  return locking<"pthread_cond_broadcast">(pthread_cond_broadcast, c);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* l) noexcept {
  return locking<"pthread_rwlock_rdlock">(pthread_rwlock_rdlock, l);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* l) noexcept {
  return locking<"pthread_rwlock_wrlock">(pthread_rwlock_wrlock, l);
}
int sem_wait(sem_t* s) { return locking<"sem_wait">(sem_wait, s); }
int sem_timedwait(sem_t* s, const timespec* t) {
  return locking<"sem_timedwait">(sem_timedwait, s, t);
}
int sem_post(sem_t* s) noexcept { return locking<"sem_post">(sem_post, s); }

ssize_t read(int fd, void* b, std::size_t n) { return blocking<"read">(read, fd, b, n); }
ssize_t write(int fd, const void* b, std::size_t n) { return blocking<"write">(write, fd, b, n); }
ssize_t pread(int fd, void* b, std::size_t n, off_t at) {
  return blocking<"pread">(pread, fd, b, n, at);
}
ssize_t pwrite(int fd, const void* b, std::size_t n, off_t at) {
  return blocking<"pwrite">(pwrite, fd, b, n, at);
}
ssize_t readv(int fd, const iovec* v, int n) { return blocking<"readv">(readv, fd, v, n); }
ssize_t writev(int fd, const iovec* v, int n) { return blocking<"writev">(writev, fd, v, n); }
int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
  va_end(args);
  count(gBlockingCalls);
  return next<"open", int (*)(const char*, int, ...)>()(path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
  va_end(args);
  count(gBlockingCalls);
  return next<"openat", int (*)(int, const char*, int, ...)>()(dir, path, flags, mode);
}
int close(int fd) { return blocking<"close">(close, fd); }
int fsync(int fd) { return blocking<"fsync">(fsync, fd); }
int fdatasync(int fd) { return blocking<"fdatasync">(fdatasync, fd); }

FILE* fopen(const char* path, const char* mode) { return blocking<"fopen">(fopen, path, mode); }
int fclose(FILE* f) { return blocking<"fclose">(fclose, f); }
std::size_t fread(void* b, std::size_t size, std::size_t n, FILE* f) {
  return blocking<"fread">(fread, b, size, n, f);
}
std::size_t fwrite(const void* b, std::size_t size, std::size_t n, FILE* f) {
  return blocking<"fwrite">(fwrite, b, size, n, f);
}
int fputs(const char* s, FILE* f) { return blocking<"fputs">(fputs, s, f); }
int puts(const char* s) { return blocking<"puts">(puts, s); }
int fputc(int c, FILE* f) { return blocking<"fputc">(fputc, c, f); }
int fflush(FILE* f) { return blocking<"fflush">(fflush, f); }
int vfprintf(FILE* f, const char* format, va_list args) {
  return blocking<"vfprintf">(vfprintf, f, format, args);
}
int vprintf(const char* format, va_list args) { return blocking<"vprintf">(vprintf, format, args); }
int fprintf(FILE* f, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vfprintf(f, format, args);
  va_end(args);
  return result;
}
int printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vprintf(format, args);
  va_end(args);
  return result;
}

int nanosleep(const timespec* t, timespec* left) {
  return blocking<"nanosleep">(nanosleep, t, left);
}
int clock_nanosleep(clockid_t clock, int flags, const timespec* t, timespec* left) {
  return blocking<"clock_nanosleep">(clock_nanosleep, clock, flags, t, left);
}
int usleep(useconds_t us) { return blocking<"usleep">(usleep, us); }
unsigned sleep(unsigned s) { return blocking<"sleep">(sleep, s); }
int poll(pollfd* fds, nfds_t n, int timeout) { return blocking<"poll">(poll, fds, n, timeout); }
int select(int n, fd_set* r, fd_set* w, fd_set* e, timeval* t) {
  return blocking<"select">(select, n, r, w, e, t);
}
int epoll_wait(int fd, epoll_event* events, int n, int timeout) {
  return blocking<"epoll_wait">(epoll_wait, fd, events, n, timeout);
}
int connect(int fd, const sockaddr* a, socklen_t n) {
  return blocking<"connect">(connect, fd, a, n);
}
int accept(int fd, sockaddr* a, socklen_t* n) { return blocking<"accept">(accept, fd, a, n); }
ssize_t send(int fd, const void* b, std::size_t n, int flags) {
  return blocking<"send">(send, fd, b, n, flags);
}
ssize_t sendto(int fd, const void* b, std::size_t n, int flags, const sockaddr* a, socklen_t l) {
  return blocking<"sendto">(sendto, fd, b, n, flags, a, l);
}
ssize_t sendmsg(int fd, const msghdr* m, int flags) {
  return blocking<"sendmsg">(sendmsg, fd, m, flags);
}
ssize_t recv(int fd, void* b, std::size_t n, int flags) {
  return blocking<"recv">(recv, fd, b, n, flags);
}
ssize_t recvfrom(int fd, void* b, std::size_t n, int flags, sockaddr* a, socklen_t* l) {
  return blocking<"recvfrom">(recvfrom, fd, b, n, flags, a, l);
}
ssize_t recvmsg(int fd, msghdr* m, int flags) { return blocking<"recvmsg">(recvmsg, fd, m, flags); }

} // extern "C"

#endif

namespace {

void* allocate(std::size_t size, std::size_t align = alignof(std::max_align_t)) {
  count(gAllocations);
  void* p = rawAllocate(align, std::max<std::size_t>(size, 1));
  if (!p)
    throw std::bad_alloc();
  return p;
}

void release(void* p) noexcept {
  if (p)
    count(gFrees);
  rawFree(p);
}

} // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a)); }
// The nothrow forms too (std::stable_sort's buffer uses them): every new must pair with the
// delete below.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }
