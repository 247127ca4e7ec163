#include "cli/PlanFile.h"

#include <array>
#include <iterator>

#include "config/ConfigureDialogValues.h"
#include "platform/BoundedFile.h"
#include "platform/CsvReader.h"

namespace ordvane::cli {

namespace {

constexpr std::size_t kMaxCellLength = 255;

// The plan's columns, in file order.
using Column = std::size_t;
constexpr Column kMac = 0;
constexpr Column kIp = 1;
constexpr Column kSn = 2;
constexpr Column kGw = 3;
constexpr Column kDhcp = 4;
constexpr Column kDns1 = 5;
constexpr Column kDns2 = 6;
constexpr Column kHostname = 7;
constexpr Column kColumnCount = 8;

// The headings as docs/cli.md spells them; the file may use any case.
constexpr std::array<std::string_view, kColumnCount> kHeadings = {
    "MAC", "IP", "SN", "GW", "DHCP", "DNS1", "DNS2", "Hostname"};

constexpr int kAbsent = -1;

bool EqualIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(left[i]) != lower(right[i])) {
            return false;
        }
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

class PlanReader {
public:
    PlanReader(std::span<const std::uint8_t> text, std::string_view fileName)
        : m_csv(text, kMaxCellLength), m_fileName(fileName) {
        m_positions.fill(kAbsent);
    }

    bool Read(std::vector<PlanRow>& rows, std::string& error) {
        std::vector<CsvCell> cells;
        std::string csvError;
        if (!m_csv.Next(cells, csvError)) {
            return Fail(error, csvError.empty() ? "the file has no header line"
                                                : LineText() + ": " + csvError);
        }
        if (!ReadHeader(cells, error)) {
            return false;
        }
        while (m_csv.Next(cells, csvError)) {
            if (rows.size() == kMaxPlanRows) {
                return Fail(error, LineText() + ": more than 65536 modules");
            }
            PlanRow row;
            if (!ReadRow(cells, row, error)) {
                return false;
            }
            rows.push_back(std::move(row));
        }
        if (!csvError.empty()) {
            return Fail(error, LineText() + ": " + csvError);
        }
        return true;
    }

private:
    bool Fail(std::string& error, const std::string& what) const {
        error = std::string(m_fileName) + ": " + what;
        return false;
    }

    std::string LineText() const { return "line " + std::to_string(m_csv.Line()); }

    bool ReadHeader(const std::vector<CsvCell>& cells, std::string& error) {
        for (std::size_t index = 0; index < cells.size(); ++index) {
            const std::string name = Trimmed(cells[index].text);
            std::size_t column = 0;
            while (column < kColumnCount && !EqualIgnoringCase(name, kHeadings[column])) {
                ++column;
            }
            if (column == kColumnCount) {
                return Fail(error, LineText() + ", column " + std::to_string(index + 1) +
                                       ": unknown column \"" + name +
                                       "\" (MAC, IP, SN, GW, DHCP, DNS1, DNS2, Hostname)");
            }
            if (m_positions[column] != kAbsent) {
                return Fail(error, LineText() + ", column " + name + ": named twice");
            }
            m_positions[column] = static_cast<int>(index);
        }
        if (m_positions[kMac] == kAbsent) {
            return Fail(error, LineText() + ": the header has no MAC column");
        }
        m_cellCount = cells.size();
        return true;
    }

    bool ReadRow(const std::vector<CsvCell>& cells, PlanRow& row, std::string& error) const {
        row.line = m_csv.Line();
        if (cells.size() != m_cellCount) {
            return Fail(error, LineText() + ": expected " + std::to_string(m_cellCount) +
                                   " cells, found " + std::to_string(cells.size()));
        }
        const CsvCell& mac = cells[static_cast<std::size_t>(m_positions[kMac])];
        if (!ParseStrictMacAddress(Trimmed(mac.text), row.mac)) {
            return CellError(error, kMac, "needs a MAC address like 0A-51-4D-00-00-2A");
        }
        return ReadAddress(cells, kIp, row.ipAddress, error) &&
               ReadAddress(cells, kSn, row.subnetMask, error) &&
               ReadAddress(cells, kGw, row.gateway, error) &&
               ReadAddress(cells, kDns1, row.primaryDns, error) &&
               ReadAddress(cells, kDns2, row.secondaryDns, error) &&
               ReadDhcp(cells, row.dhcpOn, error) && ReadHostname(cells, row.hostname);
    }

    const CsvCell* CellOf(const std::vector<CsvCell>& cells, Column column) const {
        const int position = m_positions[column];
        return position == kAbsent ? nullptr : &cells[static_cast<std::size_t>(position)];
    }

    bool CellError(std::string& error, Column column, const std::string& what) const {
        return Fail(error, LineText() + ", column " + std::string(kHeadings[column]) + ": " + what);
    }

    bool ReadAddress(const std::vector<CsvCell>& cells, Column column,
                     std::optional<std::uint32_t>& value, std::string& error) const {
        const CsvCell* cell = CellOf(cells, column);
        const std::string text = cell != nullptr ? Trimmed(cell->text) : std::string();
        if (text.empty()) {
            return true;
        }
        value = ParseDottedIpv4(text);
        return value.has_value() ||
               CellError(error, column, "\"" + text + "\" is not a dotted IPv4 address");
    }

    bool ReadDhcp(const std::vector<CsvCell>& cells, std::optional<bool>& value,
                  std::string& error) const {
        const CsvCell* cell = CellOf(cells, kDhcp);
        const std::string text = cell != nullptr ? Trimmed(cell->text) : std::string();
        if (text.empty()) {
            return true;
        }
        if (!EqualIgnoringCase(text, "On") && !EqualIgnoringCase(text, "Off")) {
            return CellError(error, kDhcp, "\"" + text + "\" is neither On nor Off");
        }
        value = EqualIgnoringCase(text, "On");
        return true;
    }

    bool ReadHostname(const std::vector<CsvCell>& cells, std::optional<std::string>& value) const {
        const CsvCell* cell = CellOf(cells, kHostname);
        if (cell != nullptr && !cell->Empty()) {
            value = cell->text;
        }
        return true;
    }

    CsvReader m_csv;
    std::string_view m_fileName;
    std::array<int, kColumnCount> m_positions{};
    std::size_t m_cellCount = 0;
};

}  // namespace

ConfigureOverrides PlanOverrides(const PlanRow& row) {
    ConfigureOverrides overrides;
    overrides.ipAddress = row.ipAddress;
    overrides.subnetMask = row.subnetMask;
    overrides.gateway = row.gateway;
    overrides.primaryDns = row.primaryDns;
    overrides.secondaryDns = row.secondaryDns;
    overrides.hostname = row.hostname;
    if (row.dhcpOn) {
        overrides.dhcpChoice = *row.dhcpOn ? 0 : 1;
    }
    return overrides;
}

bool ParsePlan(std::span<const std::uint8_t> text, std::string_view fileName,
               std::vector<PlanRow>& rows, std::string& error) {
    rows.clear();
    PlanReader reader(text, fileName);
    if (!reader.Read(rows, error)) {
        rows.clear();
        return false;
    }
    return true;
}

bool LoadPlanFile(const std::string& path, std::vector<PlanRow>& rows, std::string& error) {
    std::string text;
    // A FIFO or device would be waited on, maybe for ever: a plan is a regular file.
    if (!ReadBoundedRegularFile(path, kMaxPlanFileBytes, text, error)) {
        return false;
    }
    return ParsePlan(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                     path, rows, error);
}

}  // namespace ordvane::cli
