#include <cstdio>
#include <ctime>

#include "app/console.h"
#include "app/validate_tool.h"
#include "platform/platform.h"

namespace tarvik {
namespace {

// What the program prints for "password" with "-a" and with "-e". Held as text so that the usage
// text never depends on the cryptogram code; tests compare them with the program's own output.
constexpr const char* kAsciiExampleCryptogram = "U/lsH4q3r8aKRsg6e7ARwA==";
constexpr const char* kEbcdicExampleCryptogram = "ZsjSmy1AcFkpV44x8WeNRA==";

// Shown when the clock cannot be converted to local time, so the banner keeps its width.
constexpr const char* kUnknownTimestamp = "0000-00-00 00:00:00";

}  // namespace

std::string ValidateTool::currentTimestamp() const {
  std::tm local{};
  if (!platform::toLocalTime(std::time(nullptr), local)) {
    return kUnknownTimestamp;
  }
  char text[64];
  if (std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                    local.tm_sec) < 0) {
    return kUnknownTimestamp;
  }
  return std::string(text).substr(0, 19);
}

void ValidateTool::printUsage() const {
  printLine("TarvikValidate - version 2.0.1");
  printLine();
  printLine("Usage 1: decrypt and validate file");
  printLine("TarvikValidate input_file_name hash");
  printLine("Hash value is 128 characters or 40 characters");
  printLine();
  printLine("Usage 2: create cryptogram for ascii systems (windows, unix)");
  printLine("TarvikValidate -ascii StringToEncrypt");
  printLine("TarvikValidate -a StringToEncrypt");
  printLine("example: TarvikValidate -a password");
  printLine("produces base64 encoded cryptogram: ", kAsciiExampleCryptogram);
  printLine();
  printLine("Usage 3: create cryptogram for ebcdic systems (IBM mainframe)");
  printLine("TarvikValidate -ebcdic StringToEncrypt");
  printLine("TarvikValidate -e StringToEncrypt");
  printLine("example: TarvikValidate -e password ");
  printLine("produces base64 encoded cryptogram: ", kEbcdicExampleCryptogram);
}

bool ValidateTool::reportValidateFailed() const {
  printLine("Validate processing failed");
  return false;
}

}  // namespace tarvik
