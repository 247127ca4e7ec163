// The baseline reader: any text gives modules or an error naming the file, never both; the
// modules it gives compare with themselves as unchanged.
#include <cstdint>
#include <span>

#include "cli/ScanBaseline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<ordvane::ModuleColumnTexts> modules;
    std::string error;
    if (!ordvane::cli::ParseScanBaseline(std::span(data, size), "base.json", modules, error)) {
        if (!modules.empty() || error.rfind("base.json: ", 0) != 0) {
            __builtin_trap();
        }
        return 0;
    }
    if (!ordvane::cli::CompareWithBaseline(modules, modules).empty()) {
        __builtin_trap();
    }
    ordvane::cli::FormatBaselineChanges(ordvane::cli::CompareWithBaseline(modules, {}),
                                        ordvane::cli::TableFormat::kJson);
    return 0;
}
