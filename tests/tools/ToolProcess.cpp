// Runs a command-line tool as a child process and collects its exit status and output.
#include "ToolProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace

ToolResult runTool(const std::string& program, const std::vector<std::string>& arguments) {
  // Files rather than pipes: no risk of a full pipe stalling the child.
  char outPath[] = "/tmp/tool-out-XXXXXX";
  char errPath[] = "/tmp/tool-err-XXXXXX";
  const int outFd = mkstemp(outPath);
  const int errFd = mkstemp(errPath);
  if (outFd < 0 || errFd < 0)
    throw std::runtime_error("cannot create capture files");

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : arguments)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int nullFd = open("/dev/null", O_RDONLY);
    dup2(nullFd, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int wstatus = 0;
  if (child > 0)
    waitpid(child, &wstatus, 0);
  close(outFd);
  close(errFd);

  ToolResult result;
  if (child > 0 && WIFEXITED(wstatus))
    result.status = WEXITSTATUS(wstatus);
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  std::remove(outPath);
  std::remove(errPath);
  return result;
}
