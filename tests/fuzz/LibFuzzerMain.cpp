// libFuzzer's entry for one fuzz target, the one ORRINBROOK_FUZZ_ENTRY names when it is built.
#include "tests/fuzz/FuzzTargets.h"

#include "platform/foundation/Log.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The units log every file they refuse; a fuzzer feeds them thousands a second.
  foundation::Log::setSink([](const foundation::LogRecord&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Verdict verdict = ORRINBROOK_FUZZ_ENTRY({data, size});
  if (!verdict.empty()) {
    std::fprintf(stderr, "fuzz target failed: %s\n", verdict.c_str());
    std::abort(); // libFuzzer saves the input
  }
  return 0;
}
