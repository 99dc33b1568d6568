// What a tool's output path may name, tried on every kind of file a careless user gives (an
// output that is an input is the tools' tests' business: they name it every way).
#include "hosting/OutputDestination.h"
#include "hosting/CommandLine.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using hosting::resolveOutputDestination;
namespace fs = std::filesystem;

namespace {

// The reason a destination is refused, or "" when it is taken.
std::string refusal(const fs::path& destination) {
  try {
    resolveOutputDestination(destination.string());
    return "";
  } catch (const hosting::UsageError& error) {
    return error.what();
  }
}

} // namespace

TEST(OutputDestination, OnlyRegularFilesAndNewOnesAreTakenAndLinksLeadToTheirTargets) {
  const TemporaryFolder folder("output-destination");
  const fs::path& at = folder.path;
  writeFile(at / "plain.wav");
  ::chmod((at / "plain.wav").c_str(), 0640);
  fs::create_directory(at / "sub");
  ::mkfifo((at / "fifo").c_str(), 0644);
  fs::create_symlink("sub/../plain.wav", at / "link.wav");
  fs::create_symlink("link.wav", at / "link-to-link.wav");
  fs::create_symlink(at / "sub" / "new.wav", at / "dangling.wav");
  fs::create_symlink("fifo", at / "link-to-fifo");
  fs::create_symlink("loop-b", at / "loop-a");
  fs::create_symlink("loop-a", at / "loop-b");

  for (const char* taken : {"plain.wav", "new.wav", "sub/new.wav"})
    EXPECT_EQ(refusal(at / taken), "") << taken;
  EXPECT_TRUE(resolveOutputDestination("-").standardOutput());

  const auto plain = resolveOutputDestination((at / "plain.wav").string());
  ASSERT_TRUE(plain.kept);
  EXPECT_EQ(plain.kept->mode, 0640u);
  EXPECT_FALSE(resolveOutputDestination((at / "new.wav").string()).kept);
  for (const char* link : {"link.wav", "link-to-link.wav"})
    EXPECT_TRUE(
        fs::equivalent(resolveOutputDestination((at / link).string()).file, at / "plain.wav"))
        << link;
  EXPECT_EQ(resolveOutputDestination((at / "dangling.wav").string()).file, at / "sub" / "new.wav");

  const std::pair<const char*, const char*> refused[] = {
      {"sub", "it is a folder"},
      {"fifo", "it is a FIFO, not a regular file"},
      {"link-to-fifo", "it is a FIFO, not a regular file"},
      {"loop-a", "its symbolic links loop"},
      {"missing/out.wav", "does not exist"},
      {"", "no file name"}};
  for (const auto& [name, why] : refused) {
    const std::string destination = *name ? (at / name).string() : "";
    EXPECT_NE(refusal(destination).find(why), std::string::npos)
        << name << ": " << refusal(destination);
  }
}

TEST(ArgumentReader, AnOptionIsNoOptionsValueButANegativeNumberIs) {
  const auto valueAfter = [](std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "tool");
    hosting::ArgumentReader reader(static_cast<int>(arguments.size()), arguments.data());
    const auto option = reader.next();
    return std::string(reader.value(option));
  };
  EXPECT_THROW(valueAfter({"--render", "--demo"}), hosting::UsageError);
  EXPECT_THROW(valueAfter({"--render", "-h"}), hosting::UsageError);
  EXPECT_THROW(valueAfter({"--render"}), hosting::UsageError);
  EXPECT_EQ(valueAfter({"--transpose", "-3"}), "-3");
  EXPECT_EQ(valueAfter({"--gain", "-.5"}), "-.5");
  EXPECT_EQ(valueAfter({"--render", "-"}), "-");
  EXPECT_EQ(valueAfter({"--render=--demo"}), "--demo");
}
