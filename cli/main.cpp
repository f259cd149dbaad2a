// nrw: runs the report modules from the command line.
#include "commands.h"

int main(int argc, char** argv) { return nrw::cli::Main(argc, argv); }
