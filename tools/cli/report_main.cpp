// veltrano-cli-report: the report command, which veltrano-cli report runs here.
#include "report_command.h"

int main(int argc, char** argv) { return veltrano::runReport(argc - 1, argv + 1); }
