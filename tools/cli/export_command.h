#pragma once
// veltrano-cli export: the accepted solutions of recordings as a track for maps.

namespace veltrano {

int runExport(int argc, char** argv);

}  // namespace veltrano
