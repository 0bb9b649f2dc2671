#pragma once

#include <string_view>

namespace tarvik {

/// Writes one console line: the pieces in order, a newline, then a flush, so that the output
/// follows the order of the steps even when it is piped.
void printLine(std::string_view text = {});
void printLine(std::string_view first, std::string_view second);
void printLine(std::string_view first, std::string_view second, std::string_view third);

/// True once any console line could not be written in full.
bool wasConsoleOutputLost();

}  // namespace tarvik
