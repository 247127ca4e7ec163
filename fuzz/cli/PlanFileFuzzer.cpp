// The plan reader: any text gives rows or an error naming the file, never both; the rows
// stand on ascending lines, and each sets against a module without trouble.
#include <cstdint>
#include <span>

#include "cli/ApplyPlan.h"
#include "cli/PlanFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<ordvane::cli::PlanRow> rows;
    std::string error;
    if (!ordvane::cli::ParsePlan(std::span(data, size), "plan.csv", rows, error)) {
        if (!rows.empty() || error.rfind("plan.csv: ", 0) != 0) {
            __builtin_trap();
        }
        return 0;
    }
    for (std::size_t index = 1; index < rows.size(); ++index) {
        if (rows[index].line <= rows[index - 1].line) {
            __builtin_trap();
        }
    }
    ordvane::ModuleRecord module;
    module.mac = rows.empty() ? ordvane::MacAddress() : rows[0].mac;
    module.ipAddress = ordvane::Ipv4Address(0x0A000001);
    const auto items = ordvane::cli::PrepareApply(rows, {module}, false);
    if (items.size() != rows.size()) {
        __builtin_trap();
    }
    ordvane::cli::FormatApplyReport(items, ordvane::cli::TableFormat::kJson);
    return 0;
}
