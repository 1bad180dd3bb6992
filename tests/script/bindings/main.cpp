#include "tests/script/both_ways.h"

int main(int argc, char** argv) { return wztest::RunBothWays(argc, argv); }
