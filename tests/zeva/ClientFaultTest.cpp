// The library's engine against a hand-driven module on loopback: broken datagrams are dropped
// and counted, texts are cut to their fields, full queues drop and count.
#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/SimProcess.h"
#include "zeva/ModuleServiceClient.h"

namespace ordvane::zeva {
namespace {

using namespace std::chrono_literals;

// A module played by the test: it receives what the library sends and answers whatever the
// test tells it to.
class HandDrivenModule {
public:
    HandDrivenModule() {
        EXPECT_TRUE(m_socket.Open(0x7F000001u, 0, 1 << 20));
        testing::PointLibraryAt(m_socket.LocalPort());
    }

    // Waits for the next datagram from the library; remembers where it came from.
    std::optional<ModuleBoundMessage> Receive() {
        std::array<std::uint8_t, kMaxDatagramSize + 1> buffer{};
        ReceivedDatagram received;
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (m_socket.Receive(buffer, received)) {
                m_library = received.source;
                return DecodeModuleBound(std::span(buffer.data(), received.size)).message;
            }
            pollfd watched{m_socket.Descriptor(), POLLIN, 0};
            poll(&watched, 1, 100);
        }
        return std::nullopt;
    }

    // The id of the next scan request, skipping repeats of the scan with id `skipped`.
    std::uint32_t ReceiveScanId(std::optional<std::uint32_t> skipped = std::nullopt) {
        for (;;) {
            const auto message = Receive();
            if (!message) {
                ADD_FAILURE() << "no scan request arrived";
                return 0;
            }
            const auto* scan = std::get_if<ScanRequest>(&*message);
            if (scan != nullptr && scan->scanId != skipped) {
                return scan->scanId;
            }
        }
    }

    template <typename Request>
    std::optional<Request> ReceiveRequest() {
        for (auto message = Receive(); message; message = Receive()) {
            if (const auto* request = std::get_if<Request>(&*message)) {
                return *request;
            }
        }
        return std::nullopt;
    }

    std::uint16_t Port() const { return m_socket.LocalPort(); }

    template <typename Message>
    void Send(const Message& message) {
        std::array<std::uint8_t, kMaxDatagramSize> buffer{};
        SendBytes(std::span(buffer.data(), Encode(message, buffer)));
    }
    void SendBytes(std::span<const std::uint8_t> bytes) { m_socket.SendTo(bytes, m_library); }

private:
    UdpSocket m_socket;
    Endpoint m_library;
};

ScanAnswer AnswerFrom(std::uint32_t scanId, std::uint8_t lastMacByte) {
    ScanAnswer answer;
    answer.scanId = scanId;
    answer.hardwareAddress = {0x0A, 0x51, 0x4D, 0, 0, lastMacByte};
    std::memcpy(answer.record.macId, answer.hardwareAddress.data(), 6);
    answer.record.macIdValid = 1;
    return answer;
}

// Waits until the engine has handled everything sent so far (counted or queued).
// The predicate is called until it holds, never again after that.
template <typename Predicate>
bool Eventually(Predicate predicate) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (predicate()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(ClientFaults, BrokenDatagramsAreCountedByReasonAndNeverQueued) {
    HandDrivenModule module;
    ModuleServiceClient client;
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.SendScan());
    const std::uint32_t scanId = module.ReceiveScanId();

    std::array<std::uint8_t, kMaxDatagramSize> valid{};
    const std::size_t size = Encode(AnswerFrom(scanId, 1), valid);
    module.SendBytes(std::span(valid.data(), size - 1));  // truncated
    const std::uint8_t foreign[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    module.SendBytes(foreign);  // foreign
    std::vector<std::uint8_t> oversized(kMaxDatagramSize + 100, 0);
    std::copy(valid.begin(), valid.begin() + static_cast<long>(size), oversized.begin());
    module.SendBytes(oversized);  // too large
    auto version =
        std::vector<std::uint8_t>(valid.begin(), valid.begin() + static_cast<long>(size));
    version[4] = 7;
    module.SendBytes(version);                  // wrong version
    module.Send(ScanRequest{5});                // unexpected type
    module.Send(AnswerFrom(scanId + 1000, 2));  // another scan's answer
    module.Send(AnswerFrom(scanId, 3));         // the one good answer
    module.Send(AnswerFrom(scanId, 3));         // and its repeat

    ASSERT_TRUE(Eventually([&] { return client.Statistics().repeatedAnswers == 1; }));
    const ClientStatistics statistics = client.Statistics();
    EXPECT_EQ(statistics.decodeErrors[static_cast<int>(DecodeError::kTruncated)], 1u);
    EXPECT_EQ(statistics.decodeErrors[static_cast<int>(DecodeError::kForeignMagic)], 1u);
    EXPECT_EQ(statistics.decodeErrors[static_cast<int>(DecodeError::kTooLarge)], 1u);
    EXPECT_EQ(statistics.decodeErrors[static_cast<int>(DecodeError::kWrongVersion)], 1u);
    EXPECT_EQ(statistics.decodeErrors[static_cast<int>(DecodeError::kUnexpectedType)], 1u);
    EXPECT_EQ(statistics.staleAnswers, 1u);
    EXPECT_EQ(statistics.answersQueued, 1u);
    ZEVA_ModuleScanResponseType response{};
    ASSERT_TRUE(client.TakeResponse(response));
    EXPECT_EQ(response.macId[5], 3);
    EXPECT_FALSE(client.TakeResponse(response));
}

TEST(ClientFaults, FullQueuesDropAndCount) {
    HandDrivenModule module;
    ClientLimits limits;
    limits.responseQueueCapacity = 2;
    limits.invalidPasswordQueueCapacity = 1;
    ModuleServiceClient client(limits);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.SendScan());
    const std::uint32_t scanId = module.ReceiveScanId();
    for (std::uint8_t mac = 1; mac <= 5; ++mac) {
        module.Send(AnswerFrom(scanId, mac));
    }
    ASSERT_TRUE(Eventually([&] { return client.Statistics().responsesDropped == 3; }));

    // Two configures rejected: the second MAC finds the queue full.
    for (std::uint8_t mac = 1; mac <= 2; ++mac) {
        ZEVA_ConfigureRequestType request{};
        std::memcpy(request.macId, AnswerFrom(scanId, mac).hardwareAddress.data(), 6);
        client.SendConfigure(request);
        std::optional<ModuleBoundMessage> message;
        while ((message = module.Receive()) &&
               !std::holds_alternative<ConfigureRequest>(*message)) {
        }
        ASSERT_TRUE(message);
        const auto& configure = std::get<ConfigureRequest>(*message);
        module.Send(CommandAnswer{configure.requestId, AnswerFrom(scanId, mac).hardwareAddress,
                                  MessageType::kConfigureRequest, CommandResult::kWrongPassword});
    }
    ASSERT_TRUE(Eventually([&] { return client.Statistics().invalidPasswordsDropped == 1; }));
    std::uint8_t head[6] = {};
    ASSERT_TRUE(client.PeekInvalidPasswordMac(head));
    EXPECT_EQ(head[5], 1);
}

TEST(ClientFaults, OverlongTextsFromTheWireEndInsideTheirFields) {
    HandDrivenModule module;
    ModuleServiceClient client;
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.SendScan());
    ScanAnswer answer = AnswerFrom(module.ReceiveScanId(), 1);
    // The record's fields hold no terminator at all: the encoder sends each at full width.
    std::memset(answer.record.moduleType, 'T', sizeof answer.record.moduleType);
    std::memset(answer.record.hostname, 'H', sizeof answer.record.hostname);
    std::memset(answer.record.challenge, 'C', sizeof answer.record.challenge);
    module.Send(answer);
    ZEVA_ModuleScanResponseType response{};
    ASSERT_TRUE(Eventually([&] { return client.TakeResponse(response); }));
    EXPECT_EQ(std::strlen(response.moduleType), sizeof response.moduleType - 1);
    EXPECT_EQ(std::strlen(response.hostname), sizeof response.hostname - 1);
    EXPECT_EQ(std::strlen(response.challenge), sizeof response.challenge - 1);
}

// The engine without a socket, ids counting up, fed answers by the test.
class DetachedClient {
public:
    explicit DetachedClient(ClientLimits limits = {})
        : m_client(limits,
                   {[this] { return m_nextId++; }, [] { return std::vector<ScanDestination>{}; }}) {
        m_client.StartDetached();
    }
    // Starts a scan; its id.
    std::uint32_t Scan() {
        EXPECT_TRUE(m_client.SendScan());
        return m_nextId - 1;
    }
    // The events of one answer from a sender (the last byte of its address).
    std::vector<int> Answer(const ScanAnswer& answer, std::uint8_t sender = 2) {
        std::array<std::uint8_t, kMaxDatagramSize> buffer{};
        ReceivedDatagram from;
        from.size = Encode(answer, buffer);
        from.source = {0x7F000000u + sender, kModulePort};
        return m_client.HandleReceived(std::span(buffer.data(), from.size), from);
    }
    std::vector<int> Answer(std::uint32_t scanId, std::uint8_t mac) {
        return Answer(AnswerFrom(scanId, mac));
    }
    // The events a configure raises at once.
    std::vector<int> Configure(std::uint8_t mac) {
        ZEVA_ConfigureRequestType request{};
        std::memcpy(request.macId, AnswerFrom(0, mac).hardwareAddress.data(), 6);
        m_client.SendConfigure(request);
        return m_client.HandleReceived({}, {});
    }
    ModuleServiceClient* operator->() { return &m_client; }

private:
    std::uint32_t m_nextId = 100;
    ModuleServiceClient m_client;
};

// Made-up MACs fill the module table and the response queue in one scan, and the real module
// answering after them is refused; the next scan, which they do not answer, lists it, though
// the program took nothing meanwhile.
TEST(ClientFaults, AFloodOfMadeUpMacsKeepsNoRealModuleOutPastTheNextScan) {
    DetachedClient client({.responseQueueCapacity = 4, .knownRouteCapacity = 4});
    const std::uint32_t flooded = client.Scan();
    for (std::uint8_t fake = 1; fake <= 4; ++fake) {
        EXPECT_EQ(client.Answer(flooded, fake), std::vector<int>{ZEVA_EVENT_RESPONSE});
    }
    EXPECT_TRUE(client.Answer(flooded, 0xEE).empty());
    EXPECT_EQ(client.Answer(client.Scan(), 0xEE), std::vector<int>{ZEVA_EVENT_RESPONSE});
    ZEVA_ModuleScanResponseType response{};
    while (client->TakeResponse(response)) {
    }
    EXPECT_EQ(response.macId[5], 0xEE);
    EXPECT_EQ(client->Statistics().modulesForgotten, 1u);
}

// A MAC once heard asking for hashed passwords gets no configure while its last answer asks
// for plain text, whoever sends it and however much later; an answer asking for hashed
// passwords again lifts that.
TEST(ClientFaults, NoConfigureGoesToAMacWhoseAnswerFellBackToPlainPasswords) {
    struct Scan {
        bool hashed;
        std::uint8_t sender;
        std::vector<int> configureEvents;
    };
    const Scan scans[] = {
        {true, 2, {}},
        {false, 3, {ZEVA_EVENT_PASSWORD_DOWNGRADE}},
        {false, 2, {ZEVA_EVENT_PASSWORD_DOWNGRADE}},
        {true, 2, {}},
    };
    DetachedClient client;
    for (const Scan& scan : scans) {
        ScanAnswer answer = AnswerFrom(client.Scan(), 1);
        answer.record.hashedPasswords = scan.hashed ? 1 : 0;
        ASSERT_EQ(client.Answer(answer, scan.sender), std::vector<int>{ZEVA_EVENT_RESPONSE});
        EXPECT_EQ(client.Configure(1), scan.configureEvents) << "scan " << &scan - scans;
    }
}

std::array<std::atomic<int>, 8> g_events{};

void CountEvent(int eventCode) {
    if (eventCode >= 0 && eventCode < static_cast<int>(g_events.size())) {
        ++g_events[static_cast<std::size_t>(eventCode)];
    }
}

// A second host answering for a module's MAC: commands to that MAC are refused with event 5
// until a scan hears the module alone and has run long enough; command answers count only
// from the module itself and with the id in flight; an unanswered command raises event 4.
TEST(ClientFaults, TwoSendersForOneMacStopCommandsUntilAScanSettlesOnOne) {
    HandDrivenModule module;
    HandDrivenModule impostor;
    const std::string targets = "127.0.0.1:" + std::to_string(module.Port()) +
                                ",127.0.0.1:" + std::to_string(impostor.Port());
    setenv("ZEVA_TARGETS", targets.c_str(), 1);
    ModuleServiceClient client;
    client.RegisterCallback(CountEvent);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.SendScan());
    const std::uint32_t firstScan = module.ReceiveScanId();
    EXPECT_EQ(impostor.ReceiveScanId(), firstScan);
    module.Send(AnswerFrom(firstScan, 1));
    ASSERT_TRUE(Eventually([&] { return client.Statistics().answersQueued == 1; }));
    // While the scan is young a command waits; the second claimant's answer then drops it.
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, AnswerFrom(firstScan, 1).hardwareAddress.data(), 6);
    EXPECT_TRUE(client.SendConfigure(request));
    impostor.Send(AnswerFrom(firstScan, 1));
    impostor.Send(AnswerFrom(firstScan, 1));
    ASSERT_TRUE(Eventually([&] { return client.Statistics().repeatedAnswers == 1; }));
    EXPECT_EQ(client.Statistics().answersQueued, 2u) << "both claimants reach the program";
    EXPECT_EQ(client.Statistics().conflictingAnswers, 1u);
    ASSERT_TRUE(Eventually([] { return g_events[ZEVA_EVENT_MAC_CONFLICT] == 1; }));

    EXPECT_FALSE(client.SendConfigure(request));
    EXPECT_FALSE(client.SendWink(request));
    ASSERT_TRUE(Eventually([] { return g_events[ZEVA_EVENT_MAC_CONFLICT] == 3; }));

    // The next scan hears the module alone, but only a settled scan clears the conflict.
    ASSERT_TRUE(client.SendScan());
    const std::uint32_t secondScan = module.ReceiveScanId(firstScan);
    module.Send(AnswerFrom(secondScan, 1));
    ASSERT_TRUE(Eventually([&] { return client.Statistics().answersQueued == 3; }));
    EXPECT_FALSE(client.SendConfigure(request));
    std::this_thread::sleep_for(2100ms);
    ASSERT_TRUE(client.SendConfigure(request));
    const auto configure = module.ReceiveRequest<ConfigureRequest>();
    ASSERT_TRUE(configure);
    const MacAddress mac = AnswerFrom(secondScan, 1).hardwareAddress;
    impostor.Send(CommandAnswer{configure->requestId, mac, MessageType::kConfigureRequest,
                                CommandResult::kWrongPassword});
    module.Send(CommandAnswer{configure->requestId + 1, mac, MessageType::kConfigureRequest,
                              CommandResult::kWrongPassword});
    module.Send(CommandAnswer{configure->requestId, mac, MessageType::kConfigureRequest,
                              CommandResult::kAccepted});
    ASSERT_TRUE(Eventually([] { return g_events[ZEVA_EVENT_RESCAN] == 1; }));
    EXPECT_EQ(g_events[ZEVA_EVENT_INVALID_PASSWORD], 0);
    EXPECT_EQ(client.Statistics().foreignCommandAnswers, 1u);
    EXPECT_EQ(client.Statistics().unmatchedCommandAnswers, 1u);

    ASSERT_TRUE(client.SendWink(request));
    std::this_thread::sleep_for(4200ms);
    EXPECT_EQ(g_events[ZEVA_EVENT_NO_ANSWER], 1);
    EXPECT_EQ(g_events[ZEVA_EVENT_MAC_CONFLICT], 4);
    EXPECT_EQ(client.Statistics().commandsRefusedForConflict, 4u);
}

}  // namespace
}  // namespace ordvane::zeva
