#include "zeva/ModuleProtocol.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace ordvane::zeva {

namespace {

// ---------------------------------------------------------------- writing

std::size_t FinishDatagram(ByteWriter& writer, std::span<std::uint8_t> out) {
    if (!writer.Ok()) {
        return 0;
    }
    // The body length sits at offset 6, written once the body is known.
    const std::size_t bodyLength = writer.Position() - kHeaderSize;
    out[6] = static_cast<std::uint8_t>(bodyLength >> 8);
    out[7] = static_cast<std::uint8_t>(bodyLength & 0xFF);
    return writer.Position();
}

void WriteHeader(ByteWriter& writer, MessageType type) {
    writer.WriteBytes(kMagic.data(), kMagic.size());
    writer.WriteU8(kProtocolVersion);
    writer.WriteU8(static_cast<std::uint8_t>(type));
    writer.WriteU16Be(0);  // body length, patched by FinishDatagram
}

void WriteText(ByteWriter& writer, const char* field, std::size_t width) {
    const std::size_t length = std::min(::strnlen(field, width), kMaxWireTextLength);
    writer.WriteU8(static_cast<std::uint8_t>(length));
    writer.WriteBytes(field, length);
}

void WriteMac(ByteWriter& writer, const std::uint8_t* mac) {
    writer.WriteBytes(mac, 6);
}

void WritePresence(ByteWriter& writer, std::uint8_t presence) {
    writer.WriteU8(presence != 0 ? 1 : 0);
}

// ---------------------------------------------------------------- reading

// Reads a body through ByteReader and remembers whether any presence byte was out of range.
class BodyReader {
public:
    explicit BodyReader(ByteReader reader) : m_reader(reader) {}

    bool Complete() const { return m_reader.Ok() && m_reader.AtEnd() && m_presenceOk; }
    bool AtEnd() const { return m_reader.AtEnd(); }
    void Invalidate() { m_presenceOk = false; }

    std::uint8_t U8() { return m_reader.ReadU8(); }
    std::uint16_t U16() { return m_reader.ReadU16Be(); }
    std::uint32_t U32() { return m_reader.ReadU32Be(); }

    void Mac(std::uint8_t* out) { m_reader.ReadBytes(out, 6); }
    void Mac(MacAddress& out) { m_reader.ReadBytes(out.data(), out.size()); }

    std::uint8_t Presence() {
        const std::uint8_t value = m_reader.ReadU8();
        if (value > 1) {
            m_presenceOk = false;
        }
        return value;
    }

    // Copies a text into a fixed-width record field: cut to width - 1 bytes, NUL-terminated,
    // whatever length the sender claims.
    void Text(char* field, std::size_t width) {
        const std::size_t length = m_reader.ReadU8();
        const auto bytes = m_reader.ReadSpan(length);
        std::memset(field, 0, width);
        const std::size_t kept = std::min(bytes.size(), width - 1);
        if (kept > 0) {  // an empty span may have no data pointer at all
            std::memcpy(field, bytes.data(), kept);
        }
    }

private:
    ByteReader m_reader;
    bool m_presenceOk = true;
};

struct Header {
    MessageType type;
    ByteReader body;
};

template <typename Message>
DecodeResult<Message> Failure(DecodeError error) {
    DecodeResult<Message> result;
    result.error = error;
    return result;
}

// Checks size, magic, version and body length; on success hands back the type and the body.
std::variant<Header, DecodeError> ReadHeader(std::span<const std::uint8_t> datagram) {
    if (datagram.size() > kMaxDatagramSize) {
        return DecodeError::kTooLarge;
    }
    ByteReader reader(datagram);
    std::array<std::uint8_t, 4> magic{};
    reader.ReadBytes(magic.data(), magic.size());
    if (!reader.Ok()) {
        return DecodeError::kTruncated;
    }
    if (magic != kMagic) {
        return DecodeError::kForeignMagic;
    }
    const std::uint8_t version = reader.ReadU8();
    const std::uint8_t type = reader.ReadU8();
    const std::uint16_t bodyLength = reader.ReadU16Be();
    if (!reader.Ok()) {
        return DecodeError::kTruncated;
    }
    if (version != kProtocolVersion) {
        return DecodeError::kWrongVersion;
    }
    if (bodyLength > reader.Remaining()) {
        return DecodeError::kTruncated;
    }
    if (bodyLength < reader.Remaining()) {
        return DecodeError::kMalformed;
    }
    return Header{static_cast<MessageType>(type), reader.ReadSubReader(bodyLength)};
}

void ReadRecord(BodyReader& body, const MacAddress& hardwareAddress,
                ZEVA_ModuleScanResponseType& record) {
    std::memset(&record, 0, sizeof record);
    record.serviceVersionMajor = body.U8();
    record.serviceVersionMinor = body.U8();
    record.moduleTypeValid = body.Presence();
    body.Text(record.moduleType, sizeof record.moduleType);
    record.fwVersionValid = body.Presence();
    record.fwMajor = body.U8();
    record.fwMinor = body.U8();
    record.fwBuild = body.U16();
    record.macIdValid = body.Presence();
    if (record.macIdValid != 0) {
        std::copy(hardwareAddress.begin(), hardwareAddress.end(), record.macId);
    }
    record.ipAddressValid = body.Presence();
    record.ipAddress = body.U32();
    record.subnetMaskValid = body.Presence();
    record.subnetMask = body.U32();
    record.gatewayValid = body.Presence();
    record.gateway = body.U32();
    record.dhcpValid = body.Presence();
    record.dhcp = body.U8();
    record.passwordSetValid = body.Presence();
    record.passwordSet = body.U8();
    record.hostnameValid = body.Presence();
    body.Text(record.hostname, sizeof record.hostname);
    record.dns1Valid = body.Presence();
    record.dns1 = body.U32();
    record.dns2Valid = body.Presence();
    record.dns2 = body.U32();
    body.Text(record.challenge, sizeof record.challenge);
    record.hashedPasswords = body.Presence();
    // A module of the first revision ends here.
    record.protocolRevision = body.AtEnd() ? kFirstRevision : body.U8();
    if (record.protocolRevision < kFirstRevision) {
        body.Invalidate();
    }
}

template <typename Message>
DecodeResult<Message> Accept(const BodyReader& body, Message message) {
    if (!body.Complete()) {
        return Failure<Message>(DecodeError::kMalformed);
    }
    DecodeResult<Message> result;
    result.message = std::move(message);
    return result;
}

DecodeResult<LibraryBoundMessage> DecodeScanAnswer(BodyReader body) {
    ScanAnswer answer;
    answer.scanId = body.U32();
    body.Mac(answer.hardwareAddress);
    ReadRecord(body, answer.hardwareAddress, answer.record);
    return Accept<LibraryBoundMessage>(body, answer);
}

DecodeResult<LibraryBoundMessage> DecodeCommandAnswer(BodyReader body) {
    CommandAnswer answer;
    answer.requestId = body.U32();
    body.Mac(answer.hardwareAddress);
    const std::uint8_t command = body.U8();
    const std::uint8_t result = body.U8();
    if (command != static_cast<std::uint8_t>(MessageType::kConfigureRequest) &&
        command != static_cast<std::uint8_t>(MessageType::kWinkRequest)) {
        return Failure<LibraryBoundMessage>(DecodeError::kMalformed);
    }
    if (result > static_cast<std::uint8_t>(CommandResult::kRefused)) {
        return Failure<LibraryBoundMessage>(DecodeError::kMalformed);
    }
    answer.command = static_cast<MessageType>(command);
    answer.result = static_cast<CommandResult>(result);
    return Accept<LibraryBoundMessage>(body, answer);
}

DecodeResult<ModuleBoundMessage> DecodeConfigureRequest(BodyReader body) {
    ConfigureRequest message;
    ZEVA_ConfigureRequestType& request = message.request;
    message.requestId = body.U32();
    body.Mac(request.macId);
    body.Text(request.password, sizeof request.password);
    request.changePassword = body.Presence();
    body.Text(request.newPassword, sizeof request.newPassword);
    request.ipAddress = body.U32();
    request.subnetMask = body.U32();
    request.gateway = body.U32();
    request.dhcp = body.Presence();
    body.Text(request.hostname, sizeof request.hostname);
    request.dns1 = body.U32();
    request.dns2 = body.U32();
    return Accept<ModuleBoundMessage>(body, message);
}

}  // namespace

DecodeResult<LibraryBoundMessage> DecodeLibraryBound(std::span<const std::uint8_t> datagram) {
    auto header = ReadHeader(datagram);
    if (const auto* error = std::get_if<DecodeError>(&header)) {
        return Failure<LibraryBoundMessage>(*error);
    }
    auto& [type, reader] = std::get<Header>(header);
    switch (type) {
        case MessageType::kScanAnswer:
            return DecodeScanAnswer(BodyReader(reader));
        case MessageType::kCommandAnswer:
            return DecodeCommandAnswer(BodyReader(reader));
        default:
            return Failure<LibraryBoundMessage>(DecodeError::kUnexpectedType);
    }
}

DecodeResult<ModuleBoundMessage> DecodeModuleBound(std::span<const std::uint8_t> datagram) {
    auto header = ReadHeader(datagram);
    if (const auto* error = std::get_if<DecodeError>(&header)) {
        return Failure<ModuleBoundMessage>(*error);
    }
    auto& [type, reader] = std::get<Header>(header);
    BodyReader body(reader);
    switch (type) {
        case MessageType::kScanRequest: {
            ScanRequest request;
            request.scanId = body.U32();
            return Accept<ModuleBoundMessage>(body, request);
        }
        case MessageType::kScanAcknowledge: {
            ScanAcknowledge acknowledge;
            acknowledge.scanId = body.U32();
            body.Mac(acknowledge.hardwareAddress);
            return Accept<ModuleBoundMessage>(body, acknowledge);
        }
        case MessageType::kConfigureRequest:
            return DecodeConfigureRequest(body);
        case MessageType::kWinkRequest: {
            WinkRequest wink;
            wink.requestId = body.U32();
            body.Mac(wink.target);
            return Accept<ModuleBoundMessage>(body, wink);
        }
        default:
            return Failure<ModuleBoundMessage>(DecodeError::kUnexpectedType);
    }
}

std::size_t Encode(const ScanRequest& message, std::span<std::uint8_t> out) {
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kScanRequest);
    writer.WriteU32Be(message.scanId);
    return FinishDatagram(writer, out);
}

std::size_t Encode(const ScanAnswer& message, std::span<std::uint8_t> out) {
    const ZEVA_ModuleScanResponseType& record = message.record;
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kScanAnswer);
    writer.WriteU32Be(message.scanId);
    WriteMac(writer, message.hardwareAddress.data());
    writer.WriteU8(record.serviceVersionMajor);
    writer.WriteU8(record.serviceVersionMinor);
    WritePresence(writer, record.moduleTypeValid);
    WriteText(writer, record.moduleType, sizeof record.moduleType);
    WritePresence(writer, record.fwVersionValid);
    writer.WriteU8(record.fwMajor);
    writer.WriteU8(record.fwMinor);
    writer.WriteU16Be(record.fwBuild);
    WritePresence(writer, record.macIdValid);
    WritePresence(writer, record.ipAddressValid);
    writer.WriteU32Be(record.ipAddress);
    WritePresence(writer, record.subnetMaskValid);
    writer.WriteU32Be(record.subnetMask);
    WritePresence(writer, record.gatewayValid);
    writer.WriteU32Be(record.gateway);
    WritePresence(writer, record.dhcpValid);
    writer.WriteU8(record.dhcp);
    WritePresence(writer, record.passwordSetValid);
    writer.WriteU8(record.passwordSet);
    WritePresence(writer, record.hostnameValid);
    WriteText(writer, record.hostname, sizeof record.hostname);
    WritePresence(writer, record.dns1Valid);
    writer.WriteU32Be(record.dns1);
    WritePresence(writer, record.dns2Valid);
    writer.WriteU32Be(record.dns2);
    WriteText(writer, record.challenge, sizeof record.challenge);
    WritePresence(writer, record.hashedPasswords);
    if (record.protocolRevision > kFirstRevision) {
        writer.WriteU8(record.protocolRevision);
    }
    return FinishDatagram(writer, out);
}

std::size_t Encode(const ScanAcknowledge& message, std::span<std::uint8_t> out) {
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kScanAcknowledge);
    writer.WriteU32Be(message.scanId);
    WriteMac(writer, message.hardwareAddress.data());
    return FinishDatagram(writer, out);
}

std::size_t Encode(const ConfigureRequest& message, std::span<std::uint8_t> out) {
    const ZEVA_ConfigureRequestType& request = message.request;
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kConfigureRequest);
    writer.WriteU32Be(message.requestId);
    WriteMac(writer, request.macId);
    WriteText(writer, request.password, sizeof request.password);
    WritePresence(writer, request.changePassword);
    WriteText(writer, request.changePassword != 0 ? request.newPassword : "",
              request.changePassword != 0 ? sizeof request.newPassword : 1);
    writer.WriteU32Be(request.ipAddress);
    writer.WriteU32Be(request.subnetMask);
    writer.WriteU32Be(request.gateway);
    WritePresence(writer, request.dhcp);
    WriteText(writer, request.hostname, sizeof request.hostname);
    writer.WriteU32Be(request.dns1);
    writer.WriteU32Be(request.dns2);
    return FinishDatagram(writer, out);
}

std::size_t Encode(const WinkRequest& message, std::span<std::uint8_t> out) {
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kWinkRequest);
    writer.WriteU32Be(message.requestId);
    WriteMac(writer, message.target.data());
    return FinishDatagram(writer, out);
}

std::size_t Encode(const CommandAnswer& message, std::span<std::uint8_t> out) {
    ByteWriter writer(out);
    WriteHeader(writer, MessageType::kCommandAnswer);
    writer.WriteU32Be(message.requestId);
    WriteMac(writer, message.hardwareAddress.data());
    writer.WriteU8(static_cast<std::uint8_t>(message.command));
    writer.WriteU8(static_cast<std::uint8_t>(message.result));
    return FinishDatagram(writer, out);
}

const char* DecodeErrorName(DecodeError error) {
    switch (error) {
        case DecodeError::kTooLarge:
            return "too large";
        case DecodeError::kTruncated:
            return "truncated";
        case DecodeError::kForeignMagic:
            return "foreign";
        case DecodeError::kWrongVersion:
            return "wrong version";
        case DecodeError::kUnexpectedType:
            return "unexpected type";
        case DecodeError::kMalformed:
            return "malformed";
    }
    return "unknown";
}

void PrintDecodeErrorCounts(std::FILE* stream, const std::uint64_t (&counts)[kDecodeErrorCount]) {
    for (std::size_t reason = 0; reason < kDecodeErrorCount; ++reason) {
        std::fprintf(stream, " %s=%llu", DecodeErrorName(static_cast<DecodeError>(reason)),
                     static_cast<unsigned long long>(counts[reason]));
    }
}

}  // namespace ordvane::zeva
