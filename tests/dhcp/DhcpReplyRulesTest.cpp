#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dhcp/CDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"

namespace {

using ordvane::CDhcpServer;

using dhcptest::Bytes;
using dhcptest::kOuiMac2A;
using Address = std::array<std::uint8_t, 4>;

class DhcpReplyRules : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.SetTraceSink([this](std::string_view text) { m_trace += text; });
    }

    // Answers the datagram and keeps the reply; true when there is one.
    bool Answer(const Bytes& datagram,
                const Address& serverAddress = CDhcpServer::kServerIdWithoutAddress) {
        m_reply = m_server.AnswerDatagram(datagram, serverAddress);
        return m_reply.has_value();
    }

    Bytes ReplyBytes() const {
        const auto bytes = m_reply.value().Bytes();
        return Bytes(bytes.begin(), bytes.end());
    }

    std::uint8_t ReplyType() const { return ReplyBytes().at(242); }

    Address ReplyAddress() const {
        const Bytes bytes = ReplyBytes();
        return {bytes.at(16), bytes.at(17), bytes.at(18), bytes.at(19)};
    }

    CDhcpServer m_server;
    std::optional<ordvane::DhcpReply> m_reply;
    std::string m_trace;
};

TEST_F(DhcpReplyRules, DiscoverIsOfferedTheAddressFromTheLastMacByte) {
    ASSERT_TRUE(Answer(dhcptest::Discover(kOuiMac2A)));
    const Bytes reply = ReplyBytes();
    ASSERT_EQ(reply.size(), 300u);
    EXPECT_EQ(reply[0], 2);  // op: boot reply
    EXPECT_EQ(reply[1], 1);  // htype copied
    EXPECT_EQ(reply[2], 6);  // hlen copied
    EXPECT_EQ(reply[3], 0);  // hops
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 8), (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(Bytes(reply.begin() + 8, reply.begin() + 16), Bytes(8, 0));  // secs flags ciaddr
    EXPECT_EQ(ReplyAddress(), (Address{10, 200, 1, 42}));
    EXPECT_EQ(Bytes(reply.begin() + 20, reply.begin() + 28), Bytes(8, 0));  // siaddr giaddr
    EXPECT_EQ(Bytes(reply.begin() + 28, reply.begin() + 34),
              Bytes(kOuiMac2A.begin(), kOuiMac2A.end()));
    EXPECT_EQ(Bytes(reply.begin() + 34, reply.begin() + 236), Bytes(202, 0));  // chaddr rest
    EXPECT_EQ(Bytes(reply.begin() + 236, reply.begin() + 262),
              (Bytes{99, 130, 83,  99,            // magic cookie
                     53, 1,   2,                  // DHCPOFFER
                     1,  4,   255, 255, 255, 0,   // subnet mask
                     54, 4,   10,  200, 1,   1,   // server identifier: no interface address known
                     51, 4,   0,   0,   14,  16,  // lease time: 3600 s
                     255}));                      // end, and nothing else
    EXPECT_EQ(Bytes(reply.begin() + 262, reply.end()), Bytes(38, 0));
    EXPECT_EQ(m_trace, "[RECV] DHCP_DISCOVER\n[SEND] DHCP_OFFER.\n\n");
}

TEST_F(DhcpReplyRules, EveryLastByteIsGivenItsAddress) {
    for (std::uint8_t last : {0x00, 0xFF}) {
        dhcptest::Mac mac = kOuiMac2A;
        mac[5] = last;
        ASSERT_TRUE(Answer(dhcptest::Discover(mac)));
        EXPECT_EQ(ReplyAddress(), (Address{10, 200, 1, last}));
    }
}

TEST_F(DhcpReplyRules, NakGrantsNothingAndNamesTheServer) {
    const Address wrong = {10, 200, 1, 43};
    const Address interfaceAddress = {192, 168, 7, 1};
    ASSERT_TRUE(Answer(dhcptest::ClientMessage(kOuiMac2A, 3, &wrong), interfaceAddress));
    const Bytes nak = ReplyBytes();
    ASSERT_EQ(nak.size(), 300u);
    EXPECT_EQ(nak[0], 2);  // op: boot reply
    EXPECT_EQ(Bytes(nak.begin() + 4, nak.begin() + 8), (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(Bytes(nak.begin() + 12, nak.begin() + 28), Bytes(16, 0));  // no address at all
    EXPECT_EQ(Bytes(nak.begin() + 28, nak.begin() + 34), Bytes(kOuiMac2A.begin(), kOuiMac2A.end()));
    const std::string reason = "address not valid on this link";
    Bytes options = {99,  130,
                     83,  99,  // magic cookie
                     53,  1,
                     6,  // DHCPNAK
                     54,  4,
                     192, 168,
                     7,   1,  // server identifier; no mask, no lease time
                     56,  static_cast<std::uint8_t>(reason.size())};  // the reason
    options.insert(options.end(), reason.begin(), reason.end());
    options.push_back(255);
    EXPECT_EQ(Bytes(nak.begin() + 236, nak.begin() + 236 + static_cast<long>(options.size())),
              options);
    EXPECT_EQ(m_trace,
              "[RECV] DHCP_REQUEST 10.200.1.43\n"
              "[SEND] DHCP_NAK (Correct IP should be 10.200.1.42)\n\n");
}

// A REQUEST in each state a client can be in, on a link where the plant's server also runs:
// only the client's own 10.200.1.N, or an offer of ours, is answered.
TEST_F(DhcpReplyRules, RequestsAreAnsweredOnlyForTheRecoveryAddress) {
    const Address ours = {192, 168, 7, 1};
    struct Case {
        const char* state;
        Address clientAddress;              // ciaddr
        std::vector<std::uint8_t> options;  // after option 53
        int replyType;                      // 0: no answer
        const char* trace;                  // a line the trace must hold
    };
    const Case cases[] = {
        {"selecting our offer", {}, {54, 4, 192, 168, 7, 1, 50, 4, 10, 200, 1, 42}, 5, "ACK"},
        {"selecting, wrong address", {}, {54, 4, 192, 168, 7, 1, 50, 4, 10, 200, 1, 9}, 6, "NAK"},
        {"selecting another server",
         {},
         {54, 4, 192, 168, 7, 2, 50, 4, 192, 168, 7, 50},
         0,
         "[RECV] DHCP_REQUEST for server 192.168.7.2, not answered\n"},
        {"server id 0.0.0.0 (none offered)",
         {},
         {54, 4, 0, 0, 0, 0, 50, 4, 10, 200, 1, 42},
         5,
         "ACK"},
        {"init-reboot, own address", {}, {50, 4, 10, 200, 1, 42}, 5, "ACK"},
        {"init-reboot, another recovery address", {}, {50, 4, 10, 200, 1, 43}, 6, "NAK"},
        {"init-reboot, plant address",
         {},
         {50, 4, 192, 168, 5, 20},
         0,
         "[DROP] DHCP_REQUEST confirms 192.168.5.20, another server's address: not answered\n"},
        {"renewing, own address", {10, 200, 1, 42}, {}, 5, "ACK"},
        {"rebinding, plant address",
         {192, 168, 5, 20},
         {},
         0,
         "[DROP] DHCP_REQUEST renews 192.168.5.20, another server's lease: not answered\n"},
        {"rebinding, another recovery address", {10, 200, 1, 43}, {}, 0, "renews 10.200.1.43"},
        {"no address named at all", {}, {}, 5, "ACK"},
    };
    for (const Case& test : cases) {
        m_trace.clear();
        Bytes request = dhcptest::FixedPart(kOuiMac2A);
        dhcptest::SetClientAddress(request, test.clientAddress);
        dhcptest::AppendMagicCookie(request);
        dhcptest::Append(request, {53, 1, 3});  // DHCPREQUEST
        request.insert(request.end(), test.options.begin(), test.options.end());
        dhcptest::Append(request, {255});
        EXPECT_EQ(Answer(request, ours), test.replyType != 0) << test.state;
        if (test.replyType != 0) {
            EXPECT_EQ(ReplyType(), test.replyType) << test.state;
        }
        EXPECT_NE(m_trace.find(test.trace), std::string::npos) << test.state << ":\n" << m_trace;
    }
}

// The plant's server is said once per link, however many REQUESTs name it, whether a module's
// or another maker's device's.
TEST_F(DhcpReplyRules, AnotherServerOnTheLinkIsNoticedOnce) {
    std::vector<CDhcpServer::LinkNotice> notices;
    m_server.SetNoticeSink(
        [&notices](const CDhcpServer::LinkNotice& notice) { notices.push_back(notice); });
    for (const dhcptest::Mac& mac : {dhcptest::kForeignMac, kOuiMac2A, kOuiMac2A}) {
        Bytes request = dhcptest::FixedPart(mac);
        dhcptest::AppendMagicCookie(request);
        dhcptest::Append(request, {53, 1, 3, 54, 4, 192, 168, 50, 1, 255});
        EXPECT_FALSE(Answer(request));
    }
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, CDhcpServer::LinkNotice::Kind::kOtherServer);
    EXPECT_EQ(notices[0].otherServer, (Address{192, 168, 50, 1}));
    const CDhcpServer::Activity activity = m_server.CurrentActivity();
    EXPECT_TRUE(activity.otherServerSeen);
    EXPECT_EQ(activity.otherServer, (Address{192, 168, 50, 1}));
}

TEST_F(DhcpReplyRules, OnlyTheListedModulesAreAnswered) {
    dhcptest::Mac other = kOuiMac2A;
    other[5] = 0x2B;
    m_server.SetAnsweredMacs({kOuiMac2A});
    EXPECT_TRUE(Answer(dhcptest::Discover(kOuiMac2A)));
    m_trace.clear();
    EXPECT_FALSE(Answer(dhcptest::Discover(other)));
    EXPECT_EQ(m_trace, "[DROP] 0a:51:4d:00:00:2b is not among the modules to answer\n");
    m_server.SetAnsweredMacs({});
    EXPECT_TRUE(Answer(dhcptest::Discover(other)));
}

TEST_F(DhcpReplyRules, ForeignMacIsDroppedWithATrace) {
    EXPECT_FALSE(Answer(dhcptest::Discover(dhcptest::kForeignMac)));
    EXPECT_EQ(m_trace, "[RECV] Got message from non-supported MAC (02:00:5e:10:20:2a)\n");
}

// A server's reply seen on the link, or a client of another hardware type, names no module.
TEST_F(DhcpReplyRules, OnlyEthernetClientRequestsAreAnswered) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
        const char* trace;
    };
    const Case cases[] = {
        {0, 2, "[DROP] not an Ethernet client's request (op 2, htype 1, hlen 6)\n"},
        {1, 6, "[DROP] not an Ethernet client's request (op 1, htype 6, hlen 6)\n"},
        {2, 16, "[DROP] not an Ethernet client's request (op 1, htype 1, hlen 16)\n"},
    };
    for (const Case& test : cases) {
        m_trace.clear();
        Bytes discover = dhcptest::Discover(kOuiMac2A);
        discover[test.offset] = test.value;
        EXPECT_FALSE(Answer(discover)) << test.trace;
        EXPECT_EQ(m_trace, test.trace);
    }
}

TEST_F(DhcpReplyRules, OnlyDiscoverAndRequestAreAnswered) {
    ASSERT_TRUE(Answer(dhcptest::Discover(kOuiMac2A)));
    for (std::uint8_t type : {4, 7, 8}) {  // DECLINE, RELEASE, INFORM
        EXPECT_FALSE(Answer(dhcptest::ClientMessage(kOuiMac2A, type))) << +type;
    }
    EXPECT_FALSE(Answer(dhcptest::FixedPart(kOuiMac2A)));  // no type at all
}

TEST_F(DhcpReplyRules, MalformedDatagramsAreDroppedWithATrace) {
    Bytes cut = dhcptest::Discover(kOuiMac2A);
    cut.resize(235);
    EXPECT_FALSE(Answer(cut));
    EXPECT_FALSE(Answer(Bytes(ordvane::CDhcpPacket::kMaximumMessageLength + 1, 0)));
    Bytes badLength = dhcptest::FixedPart(kOuiMac2A);
    dhcptest::AppendMagicCookie(badLength);
    dhcptest::Append(badLength, {53, 2, 1, 1, 255});
    EXPECT_FALSE(Answer(badLength));
    EXPECT_EQ(m_trace,
              "[DROP] malformed datagram (235 bytes)\n[DROP] malformed datagram (-1 bytes)\n"
              "[DROP] malformed datagram (245 bytes)\n");
}

}  // namespace
