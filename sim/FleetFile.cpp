#include "sim/FleetFile.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "platform/AddressText.h"
#include "platform/BoundedFile.h"
#include "platform/CsvReader.h"
#include "platform/SaturatingAtoi.h"
#include "sim/FleetGenerator.h"
#include "sim/PasswordCheck.h"

namespace ordvane::sim {

namespace {

constexpr std::size_t kMaxCellLength = 255;

constexpr std::array<std::string_view, 17> kColumns = {"mac",
                                                       "report_mac",
                                                       "service",
                                                       "type",
                                                       "firmware",
                                                       "ip",
                                                       "mask",
                                                       "gateway",
                                                       "dhcp",
                                                       "hostname",
                                                       "dns1",
                                                       "dns2",
                                                       "report_password",
                                                       "hashed",
                                                       "password",
                                                       "password_hash",
                                                       "protocol"};

enum Column : std::size_t {
    kMac,
    kReportMac,
    kService,
    kType,
    kFirmware,
    kIp,
    kMask,
    kGateway,
    kDhcp,
    kHostname,
    kDns1,
    kDns2,
    kReportPassword,
    kHashed,
    kPassword,
    kPasswordHash,
    kProtocol
};

using Cell = CsvCell;

bool ParseNumber(std::string_view text, int minimum, int maximum, int& value) {
    std::size_t consumed = 0;
    value = SaturatingAtoi(text, &consumed);
    return !text.empty() && text.front() >= '0' && text.front() <= '9' && consumed == text.size() &&
           value >= minimum && value <= maximum;
}

bool ParseAddress(const std::string& text, std::uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) {
        return false;
    }
    address = ntohl(parsed.s_addr);
    return true;
}

// Splits "a.b" or "a.b.c" into numbers.
bool ParseDotted(std::string_view text, std::span<int> parts, std::span<const int> maxima) {
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t dot = text.find('.');
        const bool last = i + 1 == parts.size();
        if (last != (dot == std::string_view::npos) ||
            !ParseNumber(text.substr(0, dot), 0, maxima[i], parts[i])) {
            return false;
        }
        text.remove_prefix(last ? text.size() : dot + 1);
    }
    return true;
}

// Turns one record into a module, given which column holds what.
class RowParser {
public:
    RowParser(const std::vector<Cell>& cells, const std::array<int, kColumns.size()>& positions)
        : m_cells(cells), m_positions(positions) {}

    const Cell& At(Column column) const {
        static const Cell kEmpty;
        const int position = m_positions[column];
        return position < 0 ? kEmpty : m_cells[static_cast<std::size_t>(position)];
    }

    bool Flag(Column column, bool fallback, bool& value, std::string& error) const {
        const Cell& cell = At(column);
        if (cell.Empty()) {
            value = fallback;
            return true;
        }
        if (cell.text != "0" && cell.text != "1") {
            error = std::string(kColumns[column]) + " must be 0 or 1";
            return false;
        }
        value = cell.text == "1";
        return true;
    }

    bool Address(Column column, std::optional<std::uint32_t>& value, std::string& error) const {
        const Cell& cell = At(column);
        std::uint32_t address = 0;
        if (cell.Empty()) {
            value.reset();
            return true;
        }
        if (!ParseAddress(cell.text, address)) {
            error = std::string(kColumns[column]) + " is not an IPv4 address";
            return false;
        }
        value = address;
        return true;
    }

    static void Text(const Cell& cell, std::optional<std::string>& value) {
        if (cell.Empty()) {
            value.reset();
        } else {
            value = cell.text;
        }
    }

private:
    const std::vector<Cell>& m_cells;
    const std::array<int, kColumns.size()>& m_positions;
};

bool ParseVersions(const RowParser& row, EmulatedModule& module, std::string& error) {
    if (!row.At(kService).Empty()) {
        std::array<int, 2> parts{};
        if (!ParseDotted(row.At(kService).text, parts, std::array{255, 255})) {
            error = "service must be major.minor";
            return false;
        }
        module.serviceMajor = static_cast<std::uint8_t>(parts[0]);
        module.serviceMinor = static_cast<std::uint8_t>(parts[1]);
    }
    if (!row.At(kProtocol).Empty()) {
        int revision = 0;
        if (!ParseNumber(row.At(kProtocol).text, zeva::kFirstRevision,
                         zeva::kSealedPasswordRevision, revision)) {
            error = "protocol must be 1 or 2";
            return false;
        }
        module.protocolRevision = static_cast<std::uint8_t>(revision);
    }
    if (!row.At(kFirmware).Empty()) {
        std::array<int, 3> parts{};
        if (!ParseDotted(row.At(kFirmware).text, parts, std::array{255, 255, 65535})) {
            error = "firmware must be major.minor.build";
            return false;
        }
        module.firmware = FirmwareVersion{static_cast<std::uint8_t>(parts[0]),
                                          static_cast<std::uint8_t>(parts[1]),
                                          static_cast<std::uint16_t>(parts[2])};
    }
    return true;
}

bool ParsePassword(const RowParser& row, std::mt19937_64& saltRandom, EmulatedModule& module,
                   std::string& error) {
    const std::string& plain = row.At(kPassword).text;
    const std::string& salted = row.At(kPasswordHash).text;
    if (!plain.empty() && !salted.empty()) {
        error = "give password or password_hash, not both";
        return false;
    }
    if (!salted.empty()) {
        if (!module.hashedPasswords || !IsSaltedDigest(salted)) {
            error = "password_hash needs hashed 1 and two salt characters with 32 hex digits";
            return false;
        }
        module.password = salted;
    } else if (!plain.empty() && module.hashedPasswords) {
        const std::string salt = {RandomSaltCharacter(saltRandom), RandomSaltCharacter(saltRandom)};
        module.password = SaltedDigest(salt, plain);
    } else {
        module.password = plain;
    }
    return true;
}

bool ParseRow(const RowParser& row, std::mt19937_64& saltRandom, EmulatedModule& module,
              std::string& error) {
    MacAddress mac;
    if (!ParseStrictMacAddress(row.At(kMac).text, mac)) {
        error = "mac must be six hexadecimal bytes such as 0A-51-4D-00-00-01";
        return false;
    }
    module.mac = mac;
    bool dhcp = false;
    if (!row.Flag(kReportMac, true, module.reportsMac, error) ||
        !row.Flag(kReportPassword, true, module.reportsPasswordSet, error) ||
        !row.Flag(kHashed, false, module.hashedPasswords, error) ||
        !row.Flag(kDhcp, false, dhcp, error) || !row.Address(kIp, module.address, error) ||
        !row.Address(kMask, module.subnetMask, error) ||
        !row.Address(kGateway, module.gateway, error) ||
        !row.Address(kDns1, module.primaryDns, error) ||
        !row.Address(kDns2, module.secondaryDns, error) || !ParseVersions(row, module, error)) {
        return false;
    }
    if (!row.At(kDhcp).Empty()) {
        module.dhcp = dhcp;
    }
    RowParser::Text(row.At(kType), module.type);
    RowParser::Text(row.At(kHostname), module.hostname);
    return ParsePassword(row, saltRandom, module, error);
}

bool ParseHeader(const std::vector<Cell>& cells, std::array<int, kColumns.size()>& positions,
                 std::string& error) {
    positions.fill(-1);
    for (std::size_t index = 0; index < cells.size(); ++index) {
        std::size_t column = 0;
        while (column < kColumns.size() && kColumns[column] != cells[index].text) {
            ++column;
        }
        if (column == kColumns.size()) {
            error = "unknown column \"" + cells[index].text + "\"";
            return false;
        }
        if (positions[column] >= 0) {
            error = "column \"" + cells[index].text + "\" given twice";
            return false;
        }
        positions[column] = static_cast<int>(index);
    }
    if (positions[kMac] < 0) {
        error = "the header has no mac column";
        return false;
    }
    return true;
}

std::string LineError(std::size_t line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

// ---------------------------------------------------------------- writing

std::string AddressText(const std::optional<std::uint32_t>& address) {
    if (!address) {
        return {};
    }
    return FormatIpv4(*address);
}

std::string QuotedText(const std::optional<std::string>& text) {
    if (!text) {
        return {};
    }
    std::string quoted = "\"";
    for (char character : *text) {
        quoted += character;
        if (character == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string FormatRow(const EmulatedModule& module) {
    const std::string mac = FormatMacAddress(module.mac.data());
    std::string firmware;
    if (module.firmware) {
        firmware = std::to_string(module.firmware->major) + "." +
                   std::to_string(module.firmware->minor) + "." +
                   std::to_string(module.firmware->build);
    }
    const bool salted = module.hashedPasswords && !module.password.empty();
    const std::array<std::string, kColumns.size()> cells = {
        mac,
        module.reportsMac ? "1" : "0",
        std::to_string(module.serviceMajor) + "." + std::to_string(module.serviceMinor),
        QuotedText(module.type),
        firmware,
        AddressText(module.address),
        AddressText(module.subnetMask),
        AddressText(module.gateway),
        module.dhcp ? (*module.dhcp ? "1" : "0") : "",
        QuotedText(module.hostname),
        AddressText(module.primaryDns),
        AddressText(module.secondaryDns),
        module.reportsPasswordSet ? "1" : "0",
        module.hashedPasswords ? "1" : "0",
        salted ? "" : QuotedText(module.password),
        salted ? module.password : "",
        std::to_string(module.protocolRevision)};
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            row += ',';
        }
        row += cells[i];
    }
    return row + "\n";
}

}  // namespace

bool ParseFleet(std::span<const std::uint8_t> text, std::mt19937_64& saltRandom,
                std::vector<EmulatedModule>& fleet, std::string& error) {
    CsvReader reader(text, kMaxCellLength);
    std::vector<Cell> cells;
    std::array<int, kColumns.size()> positions{};
    fleet.clear();
    if (!reader.Next(cells, error)) {
        error = error.empty() ? "the file has no header line" : LineError(reader.Line(), error);
        return false;
    }
    if (!ParseHeader(cells, positions, error)) {
        error = LineError(reader.Line(), error);
        return false;
    }
    const std::size_t columnCount = cells.size();
    std::unordered_set<std::uint64_t> macs;
    while (reader.Next(cells, error)) {
        EmulatedModule module;
        if (cells.size() != columnCount) {
            error = LineError(reader.Line(), "expected " + std::to_string(columnCount) +
                                                 " cells, found " + std::to_string(cells.size()));
            return false;
        }
        if (!ParseRow(RowParser(cells, positions), saltRandom, module, error)) {
            error = LineError(reader.Line(), error);
            return false;
        }
        if (!macs.insert(ordvane::MacAddress(module.mac).Key()).second) {
            error = LineError(reader.Line(), "the mac is already used by an earlier module");
            return false;
        }
        if (fleet.size() == kMaxModules) {
            error = LineError(reader.Line(), "more than 65536 modules");
            return false;
        }
        fleet.push_back(module);
    }
    if (!error.empty()) {
        error = LineError(reader.Line(), error);
        return false;
    }
    if (fleet.empty()) {
        error = "the file lists no module";
        return false;
    }
    return true;
}

bool LoadFleetFile(const std::string& path, std::mt19937_64& saltRandom,
                   std::vector<EmulatedModule>& fleet, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string text;
    std::array<char, 65536> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxFleetFileBytes) {
            error = path + " is larger than 64 MiB";
            return false;
        }
    }
    if (!ParseFleet(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                    saltRandom, fleet, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string FormatFleet(const std::vector<EmulatedModule>& fleet) {
    std::string text;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += kColumns[i];
    }
    text += "\n";
    for (const EmulatedModule& module : fleet) {
        text += FormatRow(module);
    }
    return text;
}

bool SaveFleetFileAtomically(const std::string& path, const std::vector<EmulatedModule>& fleet,
                             std::string& error) {
    // The temporary file is created exclusively with mode 0600: nobody can plant a link there
    // to make us overwrite another file, and the plain passwords the state holds stay readable
    // by the emulator's user only (rename keeps the mode).
    return WriteFileAtomically(path, FormatFleet(fleet), error);
}

}  // namespace ordvane::sim
