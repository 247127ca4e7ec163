#pragma once
// The module protocol: UDP datagrams between the module-service library and Quillmor modules
// (real ones or the emulator). Layout and rules are written up in docs/module-protocol.md.
//
// Every datagram is a header (magic, version, type, body length) and one body. Encoding
// writes through ByteWriter into a caller's buffer; decoding reads through ByteReader and
// rejects anything that is not exactly one well-formed message, so both sides share one
// bounds-checked parser.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <variant>

#include "modsvc/ModuleService.h"
#include "platform/MacAddress.h"

namespace ordvane::zeva {

inline constexpr std::array<std::uint8_t, 4> kMagic = {'O', 'V', 'Q', 'M'};
inline constexpr std::uint8_t kProtocolVersion = 1;
// The revision a module announces at the end of its scan answer. Revision 2 seals a new hashed
// password under the current one; an answer without the byte is revision 1.
inline constexpr std::uint8_t kFirstRevision = 1;
inline constexpr std::uint8_t kSealedPasswordRevision = 2;
inline constexpr std::uint16_t kModulePort = 47470;
inline constexpr std::size_t kHeaderSize = 8;
// The largest UDP payload that fits one Ethernet frame without fragmentation.
inline constexpr std::size_t kMaxDatagramSize = 1472;
// Texts travel as a length byte and that many bytes.
inline constexpr std::size_t kMaxWireTextLength = 255;

enum class MessageType : std::uint8_t {
    kScanRequest = 1,
    kScanAnswer = 2,
    kScanAcknowledge = 3,
    kConfigureRequest = 4,
    kWinkRequest = 5,
    kCommandAnswer = 6,
};

enum class CommandResult : std::uint8_t {
    kAccepted = 0,
    kWrongPassword = 1,
    kRefused = 2,  // well-formed but unusable, for example a malformed salted password
};

struct ScanRequest {
    std::uint32_t scanId = 0;
};

// A module's answer. The hardware address always travels (it is how the library acknowledges,
// deduplicates and addresses the module); record.macIdValid says whether the module reports it.
struct ScanAnswer {
    std::uint32_t scanId = 0;
    MacAddress hardwareAddress{};
    ZEVA_ModuleScanResponseType record{};
};

struct ScanAcknowledge {
    std::uint32_t scanId = 0;
    MacAddress hardwareAddress{};
};

struct ConfigureRequest {
    std::uint32_t requestId = 0;
    ZEVA_ConfigureRequestType request{};  // request.macId is the target
};

struct WinkRequest {
    std::uint32_t requestId = 0;
    MacAddress target{};
};

struct CommandAnswer {
    std::uint32_t requestId = 0;
    MacAddress hardwareAddress{};
    MessageType command = MessageType::kConfigureRequest;
    CommandResult result = CommandResult::kAccepted;
};

// Why a datagram was dropped; each reason has its own counter on both sides.
enum class DecodeError : std::uint8_t {
    kTooLarge,        // longer than kMaxDatagramSize
    kTruncated,       // shorter than its header or its body says
    kForeignMagic,    // not ours at all
    kWrongVersion,    // ours, but a version we do not speak
    kUnexpectedType,  // a type this side never receives
    kMalformed,       // body length, presence bytes or trailing bytes do not add up
};
inline constexpr std::size_t kDecodeErrorCount = 6;

// What the library receives from modules.
using LibraryBoundMessage = std::variant<ScanAnswer, CommandAnswer>;
// What a module receives from the library.
using ModuleBoundMessage =
    std::variant<ScanRequest, ScanAcknowledge, ConfigureRequest, WinkRequest>;

template <typename Message>
struct DecodeResult {
    std::optional<Message> message;
    DecodeError error = DecodeError::kMalformed;  // meaningful only without a message
};

DecodeResult<LibraryBoundMessage> DecodeLibraryBound(std::span<const std::uint8_t> datagram);
DecodeResult<ModuleBoundMessage> DecodeModuleBound(std::span<const std::uint8_t> datagram);

// Each returns the datagram's size, or 0 when it does not fit the buffer.
std::size_t Encode(const ScanRequest& message, std::span<std::uint8_t> out);
std::size_t Encode(const ScanAnswer& message, std::span<std::uint8_t> out);
std::size_t Encode(const ScanAcknowledge& message, std::span<std::uint8_t> out);
std::size_t Encode(const ConfigureRequest& message, std::span<std::uint8_t> out);
std::size_t Encode(const WinkRequest& message, std::span<std::uint8_t> out);
std::size_t Encode(const CommandAnswer& message, std::span<std::uint8_t> out);

const char* DecodeErrorName(DecodeError error);

// Appends " name=count" for every drop reason to a statistics line on `stream`.
void PrintDecodeErrorCounts(std::FILE* stream, const std::uint64_t (&counts)[kDecodeErrorCount]);

}  // namespace ordvane::zeva
