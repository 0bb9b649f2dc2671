#include "app/validate_tool.h"

int main(int argc, char** argv) { return tarvik::runTarvikValidate(argc, argv); }
