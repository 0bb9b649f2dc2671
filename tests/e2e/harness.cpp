#include "harness.h"

#include <cstdlib>
#include <regex>
#include <sstream>

#include "support/test_support.h"

namespace tarvik::e2e {

std::string programCommand() {
  const char* configured = std::getenv("TARVIK_PROGRAM");
  return configured != nullptr && *configured != '\0' ? configured
                                                      : testing::shellQuote(TARVIK_BUILT_PROGRAM);
}

bool programIsWindows() {
  const char* system = std::getenv("TARVIK_PROGRAM_SYSTEM");
  return system != nullptr && std::string(system) == "windows";
}

namespace {

// Takes the line end the program's system uses off `line`; a line that lacks it keeps a mark,
// so that it cannot compare equal to the line expected.
std::string stripLineEnd(std::string line) {
  const bool endsInCarriageReturn = !line.empty() && line.back() == '\r';
  if (!programIsWindows()) {
    return line;
  }
  if (!endsInCarriageReturn) {
    return line + "<no CR>";
  }
  line.pop_back();
  return line;
}

}  // namespace

RunResult runProgram(const std::vector<std::string>& arguments, const RunOptions& options) {
  std::string command = "cd " + testing::shellQuote(options.folder.string()) + " && " +
                        options.prefix + " " + programCommand();
  for (const std::string& argument : arguments) {
    command += " " + testing::shellQuote(argument);
  }
  command += " </dev/null";
  RunResult result;
  const std::string output = testing::runCommand(command, result.status);
  std::istringstream stream(output);
  Lines all;
  for (std::string line; std::getline(stream, line);) {
    all.push_back(stripLineEnd(line));
  }
  const std::size_t bannerLines = std::min<std::size_t>(2, all.size());
  result.banner.assign(all.begin(), all.begin() + static_cast<long>(bannerLines));
  result.lines.assign(all.begin() + static_cast<long>(bannerLines), all.end());
  return result;
}

bool isBanner(const Lines& banner) {
  static const std::regex pattern(R"(TarvikValidate  \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
  return banner.size() == 2 && std::regex_match(banner[0], pattern) &&
         banner[1] == std::string(32, '=');
}

const Lines& usageLines() {
  static const Lines lines = {
      "TarvikValidate - version 2.0.1",
      "",
      "Usage 1: decrypt and validate file",
      "TarvikValidate input_file_name hash",
      "Hash value is 128 characters or 40 characters",
      "",
      "Usage 2: create cryptogram for ascii systems (windows, unix)",
      "TarvikValidate -ascii StringToEncrypt",
      "TarvikValidate -a StringToEncrypt",
      "example: TarvikValidate -a password",
      "produces base64 encoded cryptogram: U/lsH4q3r8aKRsg6e7ARwA==",
      "",
      "Usage 3: create cryptogram for ebcdic systems (IBM mainframe)",
      "TarvikValidate -ebcdic StringToEncrypt",
      "TarvikValidate -e StringToEncrypt",
      "example: TarvikValidate -e password ",
      "produces base64 encoded cryptogram: ZsjSmy1AcFkpV44x8WeNRA==",
  };
  return lines;
}

}  // namespace tarvik::e2e
