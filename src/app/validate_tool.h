#pragma once

#include <string>

namespace tarvik {

struct HashBytes;

/// Exit statuses of a run: success, the usage text, and a job that failed.
constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailure = 2;

/// The operations of the program's two modes. It holds no state: every operation receives what it
/// needs, opens and closes its own files, prints its own console lines and reports through its
/// result alone.
class ValidateTool {
public:
  /// Local date and time as "YYYY-MM-DD hh:mm:ss" (19 characters).
  std::string currentTimestamp() const;
  void printUsage() const;
  /// Prints the failure line of validate mode; always false.
  bool reportValidateFailed() const;

  /// True when `inputName` ends in ".rcc" and nothing at all stands at its clear-file name.
  bool checkInputFile(const std::string& inputName) const;
  /// Proves that `hashText` is the digest of the protected file's clear content; writes nothing.
  bool validateHash(const std::string& inputName, const std::string& hashText) const;
  /// Decrypts the protected file into its clear file; true only once the verified clear file
  /// carries its name.
  bool decryptFile(const std::string& inputName, const std::string& hashText) const;

  /// Decodes hexadecimal text of either case. Refuses (false, `bytes` untouched) any character
  /// that is not a hexadecimal digit, an odd length, or more text than `bytes` can hold.
  static bool decodeHashText(const std::string& hashText, HashBytes& bytes);

  /// Prints the Base64 cryptogram of the first 16 bytes of `text`, translated to EBCDIC first
  /// when the option's second character is 'e'. Returns the exit status.
  int createCryptogram(const std::string& optionText, const std::string& text) const;
};

/// Runs the whole program on the command line `arguments` (argument 0 included) and returns the
/// exit status.
int runTarvikValidate(int argumentCount, const char* const* arguments);

}  // namespace tarvik
