// The cost of synthesiser plug-ins in one LV2 host run, as a musician's session sees it: a
// 16-note chord held over the default sound, at several host buffer sizes. Prints a Markdown
// table of the milliseconds of one core each second of audio costs, the median of the repeats;
// the rounds take every plug-in and size in turn, so that a machine that slows down slows all
// of them alike.
//
//   lv2-bench [--rate HZ] [--seconds S] [--repeats N] [--blocks 32,64,512] BUNDLE=URI ...
#include "tools/lv2-host/Lv2Host.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
  double rate = 44100.0;
  double seconds = 10.0;
  int repeats = 3;
  std::vector<std::uint32_t> blocks = {512, 128, 64, 32};
  std::vector<std::pair<std::string, std::string>> plugins; // bundle folder, URI
};

[[noreturn]] void usage(const std::string& problem) {
  std::fprintf(stderr,
               "lv2-bench: %s\nusage: lv2-bench [--rate HZ] [--seconds S] [--repeats N] "
               "[--blocks 32,64,512] BUNDLE=URI ...\n",
               problem.c_str());
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc)
        usage(arg + " needs a value");
      return argv[++i];
    };
    try {
      if (arg == "--rate") {
        o.rate = std::stod(value());
      } else if (arg == "--seconds") {
        o.seconds = std::stod(value());
      } else if (arg == "--repeats") {
        o.repeats = std::stoi(value());
      } else if (arg == "--blocks") {
        o.blocks.clear();
        std::stringstream list(value());
        for (std::string item; std::getline(list, item, ',');)
          o.blocks.push_back(static_cast<std::uint32_t>(std::stoul(item)));
      } else if (const auto eq = arg.find('='); eq != std::string::npos && arg[0] != '-') {
        o.plugins.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
      } else {
        usage("unknown argument " + arg);
      }
    } catch (const std::logic_error&) {
      usage("unreadable value for " + arg);
    }
  }
  if (o.plugins.empty())
    usage("no plug-in named");
  if (!(o.rate >= 8000.0 && o.rate <= 384000.0) || !(o.seconds > 0.0) || o.repeats < 1)
    usage("rate, seconds or repeats out of range");
  for (std::uint32_t b : o.blocks)
    if (b < 1 || b > Lv2Instance::kMaxBlock)
      usage("block sizes run from 1 to " + std::to_string(Lv2Instance::kMaxBlock));
  return o;
}

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// A fresh instance, the chord struck and a second played before the clock starts, so that
// attacks, lazy set-up and caches are behind it.
double costOf(Lv2World& world, const std::string& uri, const Options& o, std::uint32_t block) {
  Lv2Instance plugin(world, uri, o.rate, block);
  for (int i = 0; i < 16; ++i)
    plugin.addMidi(0, {0x90, static_cast<std::uint8_t>(36 + 3 * i), 100});
  const auto frames = [&](double seconds) {
    return static_cast<std::int64_t>(seconds * o.rate) / block;
  };
  for (std::int64_t i = 0, n = frames(1.0); i < n; ++i)
    plugin.runOnly(block);
  const std::int64_t calls = frames(o.seconds);
  const double start = threadSeconds();
  for (std::int64_t i = 0; i < calls; ++i)
    plugin.runOnly(block);
  const double audio = static_cast<double>(calls * block) / o.rate;
  return 1000.0 * (threadSeconds() - start) / audio;
}

} // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  std::vector<std::string> folders;
  for (const auto& [folder, uri] : o.plugins)
    folders.push_back(folder);
  try {
    Lv2World world(folders);
    std::vector<std::string> names;
    for (const auto& [folder, uri] : o.plugins) {
      const LilvPlugin* plugin = world.plugin(uri);
      if (!plugin)
        usage("no plug-in " + uri + " in " + folder);
      LilvNode* name = lilv_plugin_get_name(plugin);
      names.emplace_back(name ? lilv_node_as_string(name) : uri);
      lilv_node_free(name);
    }

    // costs[plugin][block][repeat]
    std::vector<std::vector<std::vector<double>>> costs(
        o.plugins.size(), std::vector<std::vector<double>>(o.blocks.size()));
    for (int r = 0; r < o.repeats; ++r)
      for (std::size_t b = 0; b < o.blocks.size(); ++b)
        for (std::size_t p = 0; p < o.plugins.size(); ++p)
          costs[p][b].push_back(costOf(world, o.plugins[p].second, o, o.blocks[b]));

    std::printf("| host buffer |");
    for (std::uint32_t b : o.blocks)
      std::printf(" %u |", b);
    std::printf("\n|---|");
    for (std::size_t b = 0; b < o.blocks.size(); ++b)
      std::printf("---|");
    std::printf("\n");
    for (std::size_t p = 0; p < o.plugins.size(); ++p) {
      std::printf("| %s |", names[p].c_str());
      for (std::vector<double>& runs : costs[p]) {
        std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end());
        std::printf(" %.1f |", runs[runs.size() / 2]);
      }
      std::printf("\n");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lv2-bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
