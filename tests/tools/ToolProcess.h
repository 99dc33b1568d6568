// Runs a command-line tool as a child process and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

struct ToolResult {
  int status = -1; // the exit status, or -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// Runs program with arguments, with standard output and error captured (so neither is a
// terminal) and standard input empty.
ToolResult runTool(const std::string& program, const std::vector<std::string>& arguments);
