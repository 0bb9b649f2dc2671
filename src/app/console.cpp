#include "app/console.h"

#include <cstdio>
#include <initializer_list>

namespace tarvik {
namespace {

void writeLine(std::initializer_list<std::string_view> pieces) {
  for (const std::string_view piece : pieces) {
    if (!piece.empty()) {  // an empty view may hold no buffer at all
      std::fwrite(piece.data(), 1, piece.size(), stdout);
    }
  }
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

void printLine(std::string_view text) { writeLine({text}); }

void printLine(std::string_view first, std::string_view second) { writeLine({first, second}); }

void printLine(std::string_view first, std::string_view second, std::string_view third) {
  writeLine({first, second, third});
}

}  // namespace tarvik
