#pragma once
// Runs the built program as a user would and splits what it printed into lines.
//
// The command that starts the program is a setting: the environment variable TARVIK_PROGRAM when
// it is set (for example an emulator followed by another build of the program), otherwise the
// program built beside these tests. It is placed in a shell command line as it is. When the
// program is a Windows build, TARVIK_PROGRAM_SYSTEM=windows says so: its lines then end in CR LF,
// as a Windows console program's do.

#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::e2e {

using Lines = std::vector<std::string>;

struct RunResult {
  Lines banner;  ///< the banner line and the separator line
  Lines lines;   ///< every line after them
  int status = -1;
};

struct RunOptions {
  std::filesystem::path folder = ".";  ///< the working folder of the run
  std::string prefix;                  ///< shell words put before the program command
};

/// The program command as configured.
std::string programCommand();

/// True when the program under test is a Windows build.
bool programIsWindows();

/// Runs the program with `arguments` and returns its output and exit status.
RunResult runProgram(const std::vector<std::string>& arguments, const RunOptions& options = {});

/// True when the banner is the program name, two spaces and a local time, then 32 '='.
bool isBanner(const Lines& banner);

/// The 17 lines of the usage text.
const Lines& usageLines();

}  // namespace tarvik::e2e
