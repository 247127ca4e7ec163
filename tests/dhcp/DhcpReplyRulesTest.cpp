#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dhcp/CDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"

namespace {

using dhcptest::Bytes;
using dhcptest::kOuiMac2A;
using Address = std::array<std::uint8_t, 4>;

class DhcpReplyRules : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.SetTraceSink([this](std::string_view text) { m_trace += text; });
    }

    Bytes ReplyBytes() const {
        const auto bytes = m_server.Reply().EncodedBytes();
        return Bytes(bytes.begin(), bytes.end());
    }

    std::uint8_t ReplyType() const { return ReplyBytes().at(242); }

    Address ReplyAddress() const {
        const Bytes bytes = ReplyBytes();
        return {bytes.at(16), bytes.at(17), bytes.at(18), bytes.at(19)};
    }

    CDhcpServer m_server;
    std::string m_trace;
};

TEST_F(DhcpReplyRules, DiscoverIsOfferedTheAddressFromTheLastMacByte) {
    ASSERT_TRUE(m_server.AnswerDatagram(dhcptest::Discover(kOuiMac2A)));
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
        ASSERT_TRUE(m_server.AnswerDatagram(dhcptest::Discover(mac)));
        EXPECT_EQ(ReplyAddress(), (Address{10, 200, 1, last}));
    }
}

TEST_F(DhcpReplyRules, RequestIsAcknowledgedOrToldTheRightAddress) {
    const Address right = {10, 200, 1, 42};
    const Address wrong = {10, 200, 1, 43};
    ASSERT_TRUE(m_server.AnswerDatagram(dhcptest::ClientMessage(kOuiMac2A, 3, &right)));
    EXPECT_EQ(ReplyType(), 5);
    const Address interfaceAddress = {192, 168, 7, 1};
    ASSERT_TRUE(
        m_server.AnswerDatagram(dhcptest::ClientMessage(kOuiMac2A, 3, &wrong), interfaceAddress));
    EXPECT_EQ(ReplyType(), 6);
    EXPECT_EQ(ReplyAddress(), right);  // the NAK carries the right address
    const Bytes nak = ReplyBytes();
    EXPECT_EQ(Bytes(nak.begin() + 243, nak.begin() + 256),
              (Bytes{1, 4, 255, 255, 255, 0,  // and the mask
                     54, 4, 192, 168, 7, 1,   // the server's identifier, but no lease time
                     255}));
    // A renewal without option 50 right after the NAK is judged on its own.
    ASSERT_TRUE(m_server.AnswerDatagram(dhcptest::ClientMessage(kOuiMac2A, 3)));
    EXPECT_EQ(ReplyType(), 5);
    EXPECT_EQ(m_trace,
              "[RECV] DHCP_REQUEST 10.200.1.42\n[SEND] DHCP_ACK 10.200.1.42\n\n"
              "[RECV] DHCP_REQUEST 10.200.1.43\n"
              "[SEND] DHCP_NAK (Correct IP should be 10.200.1.42)\n\n"
              "[RECV] DHCP_REQUEST \n[SEND] DHCP_ACK 10.200.1.42\n\n");
}

TEST_F(DhcpReplyRules, RequestNamingAnotherServerGetsNoAnswer) {
    const Address ours = {192, 168, 7, 1};
    struct Case {
        const char* named;
        std::vector<std::uint8_t> serverIdOption;
        bool answered;
    };
    const Case cases[] = {
        {"no server", {}, true},
        {"this server", {54, 4, 192, 168, 7, 1}, true},
        {"0.0.0.0 (no id was offered)", {54, 4, 0, 0, 0, 0}, true},
        {"another server", {54, 4, 192, 168, 7, 2}, false},
    };
    for (const Case& test : cases) {
        Bytes request = dhcptest::FixedPart(kOuiMac2A);
        dhcptest::AppendMagicCookie(request);
        dhcptest::Append(request, {53, 1, 3,                 // DHCPREQUEST
                                   50, 4, 10, 200, 1, 42});  // requested address
        request.insert(request.end(), test.serverIdOption.begin(), test.serverIdOption.end());
        dhcptest::Append(request, {255});
        EXPECT_EQ(m_server.AnswerDatagram(request, ours), test.answered) << test.named;
        if (test.answered) {
            EXPECT_EQ(ReplyType(), 5) << test.named;
        }
    }
    EXPECT_NE(m_trace.find("[RECV] DHCP_REQUEST for server 192.168.7.2, not answered\n"),
              std::string::npos)
        << m_trace;
}

TEST_F(DhcpReplyRules, ForeignMacIsDroppedWithATrace) {
    EXPECT_FALSE(m_server.AnswerDatagram(dhcptest::Discover(dhcptest::kForeignMac)));
    EXPECT_EQ(m_trace, "[RECV] Got message from non-supported MAC (02:00:5e:10:20:2a)\n");
}

TEST_F(DhcpReplyRules, ReplyOpCodeInRequestIsStillAnswered) {
    Bytes discover = dhcptest::Discover(kOuiMac2A);
    discover[0] = 2;  // op: boot reply
    EXPECT_TRUE(m_server.AnswerDatagram(discover));
    EXPECT_EQ(ReplyType(), 2);
}

TEST_F(DhcpReplyRules, OnlyDiscoverAndRequestAreAnswered) {
    ASSERT_TRUE(m_server.AnswerDatagram(dhcptest::Discover(kOuiMac2A)));
    for (std::uint8_t type : {4, 7, 8}) {  // DECLINE, RELEASE, INFORM
        EXPECT_FALSE(m_server.AnswerDatagram(dhcptest::ClientMessage(kOuiMac2A, type))) << +type;
    }
    EXPECT_FALSE(m_server.AnswerDatagram(dhcptest::FixedPart(kOuiMac2A)));  // no type at all
}

TEST_F(DhcpReplyRules, MalformedDatagramsAreDroppedSilently) {
    Bytes cut = dhcptest::Discover(kOuiMac2A);
    cut.resize(235);
    EXPECT_FALSE(m_server.AnswerDatagram(cut));
    EXPECT_FALSE(m_server.AnswerDatagram(Bytes(CDhcpPacket::kRawCapacity + 1, 0)));
    Bytes badLength = dhcptest::FixedPart(kOuiMac2A);
    dhcptest::AppendMagicCookie(badLength);
    dhcptest::Append(badLength, {53, 2, 1, 1, 255});
    EXPECT_FALSE(m_server.AnswerDatagram(badLength));
    EXPECT_EQ(m_trace, "");
}

}  // namespace
