// A real-time audit for test executables that link realtime_audit: it replaces the global
// operator new and delete and, outside sanitizer builds, interposes the C library's allocation,
// locking, sleeping and I/O functions, and counts their calls.
#pragma once

#include <atomic>
#include <ostream>

// While gCounting is true, every call counts (on any thread). With REALTIME_AUDIT_TRAP set in
// the environment, each counted call raises SIGTRAP, so a debugger shows who made it.
extern std::atomic<bool> gCounting;
extern std::atomic<long> gAllocations;

// What a render path must never do, as counted while gCounting was true.
struct RealtimeCounts {
  long allocations = 0;
  long frees = 0;
  long lockOperations = 0; // mutexes, condition variables, read-write locks, semaphores
  long blockingCalls = 0;  // file and socket I/O, stdio, sleeping, polling

  bool operator==(const RealtimeCounts&) const = default;
};

RealtimeCounts realtimeCounts() noexcept;
void resetRealtimeCounts() noexcept;
// Whether locks, sleeps and I/O are counted too; sanitizers intercept those functions themselves,
// so their builds count allocations and frees of operator new and delete alone.
bool auditsSystemCalls() noexcept;

inline std::ostream& operator<<(std::ostream& out, const RealtimeCounts& c) {
  return out << "{allocations " << c.allocations << ", frees " << c.frees << ", lock operations "
             << c.lockOperations << ", blocking calls " << c.blockingCalls << "}";
}
