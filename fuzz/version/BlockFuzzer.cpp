// A VS_VERSIONINFO block as GetFileVersionInfoA would load it, queried by VerQueryValueA.
#include "fuzz/version/VersionFuzzQueries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ordvane::fuzz::QueryEverything({data, size});
    return 0;
}
