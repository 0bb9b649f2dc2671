#include "app/console.h"

#include <cstdio>
#include <initializer_list>

namespace tarvik {
namespace {

bool outputLost = false;  // sticky: once a line is lost, the run cannot report success

void writeLine(std::initializer_list<std::string_view> pieces) {
  bool written = true;
  for (const std::string_view piece : pieces) {
    if (!piece.empty()) {  // an empty view may hold no buffer at all
      written = std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size() && written;
    }
  }
  written = std::fputc('\n', stdout) != EOF && written;
  written = std::fflush(stdout) == 0 && written;
  outputLost = outputLost || !written;
}

}  // namespace

void printLine(std::string_view text) { writeLine({text}); }

void printLine(std::string_view first, std::string_view second) { writeLine({first, second}); }

void printLine(std::string_view first, std::string_view second, std::string_view third) {
  writeLine({first, second, third});
}

bool wasConsoleOutputLost() { return outputLost; }

}  // namespace tarvik
