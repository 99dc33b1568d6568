// Tests of the log sink: capture, threads and the standard-error writer.
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <thread>

using namespace foundation;

TEST(Log, CapturesRecordsAndRestoresThePreviousSink) {
  const Log log("com.orrinbrook.pallix.catalogue", "load");
  ScopedLogCapture outer;
  log.info("loaded bundle catalogue blues.json: 12 phrases");
  {
    ScopedLogCapture inner;
    log.error("skipping x.json (user): version 3 (expected 4)");
    // What a record carries is checked where the catalogues log their loading.
    EXPECT_EQ(inner.messages(),
              std::vector<std::string>{"skipping x.json (user): version 3 (expected 4)"});
  }
  log.info("after");
  EXPECT_EQ(outer.messages(),
            (std::vector<std::string>{"loaded bundle catalogue blues.json: 12 phrases", "after"}));
}

TEST(Log, CollectsEveryRecordFromSeveralThreads) {
  ScopedLogCapture capture;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      const Log log("test", "thread" + std::to_string(t));
      for (int i = 0; i < 250; ++i)
        log.info(std::to_string(i));
    });
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(capture.records().size(), 1000u);
}

TEST(Log, WritesOneLinePerRecordToStandardError) {
  testing::internal::CaptureStderr();
  Log::writeToStandardError({"sub", "cat", LogLevel::info, "plain"});
  Log::writeToStandardError({"sub", "cat", LogLevel::error, "two\nlines"});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[sub:cat] plain\n[sub:cat] error: two\\nlines\n");
}
