#pragma once
// One BOOTP/DHCP message: the fixed BOOTP fields, the options part and the four options the
// recovery server looks at.
//
// Every address and multi-byte field is a byte array in wire order (first octet first); the
// server compares addresses octet by octet and never converts byte order. The record owns its
// raw buffer, so receiving, decoding, answering and encoding allocate nothing.

#include <cstddef>
#include <cstdint>
#include <span>

class CDhcpPacket {
public:
    static constexpr int kFixedPartLength = 236;  // op up to and including file
    static constexpr int kMinimumMessageLength = 300;
    static constexpr std::size_t kRawCapacity = 2048;
    static constexpr std::size_t kOptionsCapacity = 512;
    static constexpr std::uint8_t kMagicCookie[4] = {99, 130, 83, 99};
    static constexpr std::size_t kMessageCapacity = 40;  // option 56 text a reply may carry

    CDhcpPacket();
    virtual ~CDhcpPacket() = default;

    // Zeroes every field, the raw buffer and the option slots.
    void Clear();
    // Decodes m_raw[0, m_length). False means the datagram is malformed: shorter than the fixed
    // part, an option of the wrong length, or an option running past the received bytes.
    bool Decode();
    // Writes the message into m_raw: fixed fields, magic cookie, options 53, 1, 54, 51 and 56
    // where set, the end option, then zeros up to 300 bytes. Sets m_length and m_optionsLength.
    bool Encode();

    std::span<const std::uint8_t> EncodedBytes() const;

    std::int32_t m_optionsLength = 0;  // m_length - 236
    std::int32_t m_length = 0;         // received byte count (-1 for a failed receive)

    std::uint8_t op = 0;
    std::uint8_t htype = 0;
    std::uint8_t hlen = 0;
    std::uint8_t hops = 0;
    std::uint8_t xid[4] = {};
    std::uint8_t secs[2] = {};
    std::uint8_t ciaddr[4] = {};
    std::uint8_t yiaddr[4] = {};
    std::uint8_t siaddr[4] = {};
    std::uint8_t giaddr[4] = {};
    std::uint8_t chaddr[16] = {};
    std::uint8_t sname[64] = {};
    std::uint8_t file[128] = {};
    // The first 512 bytes of the decoded options part, starting with the magic cookie. The
    // decoder itself walks the whole options part in m_raw, which may be up to 1812 bytes.
    std::uint8_t m_options[kOptionsCapacity] = {};
    std::uint8_t m_raw[kRawCapacity] = {};

    bool m_hasMessageType = false;
    std::uint8_t m_messageType = 0;
    bool m_hasSubnetMask = false;
    std::uint8_t m_subnetMask[4] = {};
    bool m_hasServerId = false;
    std::uint8_t m_serverId[4] = {};
    bool m_hasRequestedIp = false;
    std::uint8_t m_requestedIp[4] = {};
    // Only written, never decoded: the lease time (option 51) the server gives, in seconds.
    bool m_hasLeaseTime = false;
    std::uint8_t m_leaseTime[4] = {};
    // Only written, never decoded: the text (option 56) a DHCPNAK gives the client as its reason.
    bool m_hasMessage = false;
    std::uint8_t m_messageLength = 0;
    char m_message[kMessageCapacity] = {};

private:
    void ClearOptionSlots();
    bool DecodeOptions(std::span<const std::uint8_t> options);
};
