#include "dhcp/CDhcpServer.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "dhcp/DhcpServerSocket.h"
#include "dhcp/Port67Helper.h"
#include "modsvc/QuillmorOui.h"
#include "platform/ArrivalDatagram.h"
#include "platform/WaitReadable.h"

namespace {

constexpr std::uint8_t kDiscover = 1;
constexpr std::uint8_t kOffer = 2;
constexpr std::uint8_t kRequest = 3;
constexpr std::uint8_t kAck = 5;
constexpr std::uint8_t kNak = 6;
constexpr std::uint8_t kBootRequest = 1;
constexpr std::uint8_t kBootReply = 2;
constexpr std::uint8_t kEthernet = 1;
constexpr std::uint8_t kEthernetAddressLength = 6;
constexpr std::uint8_t kRecoverySubnet[3] = {10, 200, 1};
constexpr std::uint8_t kRecoveryMask[4] = {255, 255, 255, 0};
constexpr std::size_t kTraceCapacity = 256;

bool CarriesMakerOui(const std::uint8_t* hardwareAddress) {
    return std::equal(ordvane::kQuillmorOui.begin(), ordvane::kQuillmorOui.end(), hardwareAddress);
}

bool IsZero(const std::uint8_t (&address)[4]) {
    return std::all_of(std::begin(address), std::end(address),
                       [](std::uint8_t octet) { return octet == 0; });
}

bool InRecoverySubnet(const std::uint8_t (&address)[4]) {
    return std::equal(std::begin(kRecoverySubnet), std::end(kRecoverySubnet), address);
}

std::uint32_t AddressValue(const std::uint8_t* address) {
    return (std::uint32_t{address[0]} << 24) | (std::uint32_t{address[1]} << 16) |
           (std::uint32_t{address[2]} << 8) | address[3];
}

constexpr std::uint64_t kMacPresent = std::uint64_t{1} << 48;

std::uint64_t PackMac(const std::uint8_t* mac) {
    std::uint64_t packed = kMacPresent;
    for (int index = 0; index < 6; ++index) {
        packed |= std::uint64_t{mac[index]} << (8 * (5 - index));
    }
    return packed;
}

}  // namespace

CDhcpServer::CDhcpServer() : m_wakeDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CDhcpServer::~CDhcpServer() {
    // The owner stops the server before destroying it; closing here only guards against a
    // socket left open by a caller that forgot.
    Stop();
    if (m_wakeDescriptor != kNoSocket) {
        close(m_wakeDescriptor);
    }
}

bool CDhcpServer::Start() {
    Stop();
    m_failureReason.clear();
    if (m_wakeDescriptor == kNoSocket) {
        m_failureReason =
            "create the worker's wake-up event: " + std::generic_category().message(EMFILE);
        return false;
    }
    std::uint64_t pending = 0;
    [[maybe_unused]] const ssize_t drained = read(m_wakeDescriptor, &pending, sizeof pending);
    m_otherServerLinks = {};
    m_cardWithoutAddressLinks = {};
    m_leaseCount.store(0);
    m_lastLeaseMac.store(0);
    m_otherServerSeen.store(false);
    m_otherServerAddress.store(0);
    m_otherServerInterface.store(0);
    m_cardWithoutAddressInterface.store(0);

    const DhcpSocketResult opened = OpenDhcpServerSocket();
    if (opened.descriptor >= 0) {
        m_socket = opened.descriptor;
        return true;
    }
    m_failureReason = std::string(DescribeDhcpSocketStep(opened.failedStep)) + ": " +
                      std::generic_category().message(opened.error);
    // Without privileges to bind port 67 the helper program, which alone holds them, opens
    // the very same socket and hands it over.
    if (opened.failedStep == DhcpSocketStep::kBind &&
        (opened.error == EACCES || opened.error == EPERM)) {
        std::string helperFailure;
        const int handed = ObtainDhcpSocketFromHelper(helperFailure);
        if (handed >= 0) {
            m_socket = handed;
            m_failureReason.clear();
            return true;
        }
        m_failureReason += " (" + helperFailure + ")";
    }
    return false;
}

bool CDhcpServer::Stop() {
    if (m_socket != kNoSocket) {
        close(m_socket);
        m_socket = kNoSocket;
    }
    return true;
}

int CDhcpServer::ServiceOnce() {
    return ServiceNext() == Outcome::kAnswered ? 1 : 0;
}

int CDhcpServer::ServiceQueue(const std::atomic<std::uint8_t>& enabled) {
    int answered = 0;
    while (enabled.load() != 0) {
        const Outcome outcome = ServiceNext();
        if (outcome == Outcome::kQueueEmpty) {
            break;
        }
        answered += outcome == Outcome::kAnswered ? 1 : 0;
    }
    return answered;
}

void CDhcpServer::WaitForDatagram() {
    pollfd watched[2] = {{m_socket, POLLIN, 0}, {m_wakeDescriptor, POLLIN, 0}};
    if (!ordvane::WaitReadable(watched, -1)) {
        Trace("[WAIT] poll failed (errno %d)\n", errno);
        return;
    }
    if ((watched[1].revents & POLLIN) != 0) {
        std::uint64_t wakeups = 0;
        [[maybe_unused]] const ssize_t consumed = read(m_wakeDescriptor, &wakeups, sizeof wakeups);
    }
}

void CDhcpServer::WakeWorker() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakeDescriptor, &one, sizeof one);
}

CDhcpServer::Outcome CDhcpServer::ServiceNext() {
    if (m_socket == kNoSocket) {
        return Outcome::kQueueEmpty;
    }
    ordvane::DatagramArrival arrival;
    if (!ReceiveRequest(arrival)) {
        return Outcome::kQueueEmpty;
    }
    // The server's address costs two system calls: only a datagram that may be answered
    // asks for it, so that a flood of other traffic is dropped cheaply.
    if (!IsAnswerable(arrival.interfaceKnown ? arrival.interfaceIndex : 0)) {
        return Outcome::kDropped;
    }
    bool cardHasAddress = false;
    const Address serverAddress = ServerAddressOf(arrival, cardHasAddress);
    if (!Answer(serverAddress, arrival.interfaceKnown ? arrival.interfaceIndex : 0)) {
        return Outcome::kDropped;
    }
    if (!SendReply(arrival)) {
        Trace("[SEND] failed (errno %d)\n", errno);
        return Outcome::kDropped;
    }
    ReportReply(arrival, cardHasAddress);
    return Outcome::kAnswered;
}

CDhcpServer::Address CDhcpServer::ServerAddressOf(const ordvane::DatagramArrival& arrival,
                                                  bool& hasAddress) const {
    // The interface's own primary address, asked of the kernel by index: the source address
    // the kernel reports with the datagram may belong to another interface when this one
    // has none.
    hasAddress = false;
    ifreq request{};
    request.ifr_ifindex = arrival.interfaceIndex;
    if (!arrival.interfaceKnown || ioctl(m_socket, SIOCGIFNAME, &request) != 0) {
        return kServerIdWithoutAddress;
    }
    request.ifr_addr.sa_family = AF_INET;
    if (ioctl(m_socket, SIOCGIFADDR, &request) != 0) {
        return kServerIdWithoutAddress;  // no IPv4 address on the arrival interface
    }
    sockaddr_in local{};
    std::memcpy(&local, &request.ifr_addr, sizeof local);
    Address address;
    std::memcpy(address.data(), &local.sin_addr, address.size());
    hasAddress = true;
    return address;
}

bool CDhcpServer::ReceiveRequest(ordvane::DatagramArrival& arrival) {
    // Receiving without asking for the pending byte count first: an empty datagram reports
    // zero pending bytes and would otherwise stay at the head of the queue for good.
    if (!ordvane::ReceiveWithArrival(m_socket, std::span(m_request.m_raw), arrival)) {
        return false;  // nothing waiting
    }
    // A datagram larger than the buffer arrives cut short; it is dropped as a failed receive.
    m_request.m_length = arrival.truncated ? -1 : static_cast<std::int32_t>(arrival.size);
    return true;
}

bool CDhcpServer::GoesByUnicast() const {
    // A client that already has an address and asks directly (no relay) listens on that
    // address: a renewing client may not take a broadcast answer at all. A NAK always goes by
    // broadcast, as the client's address is what it refuses.
    return !IsZero(m_request.ciaddr) && IsZero(m_request.giaddr) && m_reply.m_messageType != kNak;
}

bool CDhcpServer::SendReply(const ordvane::DatagramArrival& arrival) {
    // Out of the interface the request came in on: a limited broadcast has no route of its
    // own (without naming the interface it fails on a host without a default route, and leaves
    // by the wrong card on a host with several), and the client's address is on that link.
    const std::uint32_t target =
        GoesByUnicast() ? AddressValue(m_request.ciaddr) : std::uint32_t{INADDR_BROADCAST};
    const ordvane::DatagramRoute route{target, kClientPort,
                                       arrival.interfaceKnown ? arrival.interfaceIndex : 0,
                                       arrival.localAddress};
    return ordvane::SendOutOf(
        m_socket, std::span(m_reply.m_raw, static_cast<std::size_t>(m_reply.m_length)), route);
}

void CDhcpServer::ReportReply(const ordvane::DatagramArrival& arrival, bool cardHasAddress) {
    ReplyReport report;
    report.messageType = m_reply.m_messageType;
    // A NAK's yiaddr is 0: the report names the address the client would have been given.
    report.address = {kRecoverySubnet[0], kRecoverySubnet[1], kRecoverySubnet[2],
                      m_reply.chaddr[5]};
    std::copy(m_reply.chaddr, m_reply.chaddr + report.mac.size(), report.mac.begin());
    report.interfaceIndex = arrival.interfaceKnown ? arrival.interfaceIndex : 0;
    report.cardHasAddress = cardHasAddress;
    report.unicast = GoesByUnicast();
    if (report.messageType == kAck) {
        m_leaseCount.fetch_add(1);
        m_lastLeaseMac.store(PackMac(m_reply.chaddr));
    }
    if (m_replySink) {
        m_replySink(report);
    }
    if (report.messageType == kAck && !cardHasAddress &&
        m_cardWithoutAddressLinks.Add(report.interfaceIndex)) {
        m_cardWithoutAddressInterface.store(report.interfaceIndex > 0 ? report.interfaceIndex : -1);
        Trace(
            "[NOTE] lease sent out of a card without an IPv4 address: the module's renewal "
            "to 10.200.1.1 will find no host\n");
        if (m_noticeSink) {
            m_noticeSink({LinkNotice::Kind::kCardWithoutAddress, report.interfaceIndex, {}});
        }
    }
}

bool CDhcpServer::NoticedLinks::Add(int interfaceIndex) {
    const auto end = indexes.begin() + static_cast<std::ptrdiff_t>(count);
    if (std::find(indexes.begin(), end, interfaceIndex) != end) {
        return false;
    }
    if (count < indexes.size()) {
        indexes[count++] = interfaceIndex;
    }
    return true;
}

CDhcpServer::Activity CDhcpServer::CurrentActivity() const {
    Activity activity;
    activity.leases = m_leaseCount.load();
    const std::uint64_t lastMac = m_lastLeaseMac.load();
    activity.hasLastLease = (lastMac & kMacPresent) != 0;
    for (int index = 0; index < 6; ++index) {
        activity.lastLeaseMac[static_cast<std::size_t>(index)] =
            static_cast<std::uint8_t>(lastMac >> (8 * (5 - index)));
    }
    activity.otherServerSeen = m_otherServerSeen.load();
    const std::uint32_t other = m_otherServerAddress.load();
    activity.otherServer = {
        static_cast<std::uint8_t>(other >> 24), static_cast<std::uint8_t>(other >> 16),
        static_cast<std::uint8_t>(other >> 8), static_cast<std::uint8_t>(other)};
    activity.otherServerInterface = m_otherServerInterface.load();
    activity.cardWithoutAddressInterface = m_cardWithoutAddressInterface.load();
    return activity;
}

bool CDhcpServer::AnswerDatagram(std::span<const std::uint8_t> datagram,
                                 const Address& serverAddress) {
    if (datagram.size() > sizeof m_request.m_raw) {
        m_request.m_length = -1;  // as the receive reports a datagram too large for the buffer
    } else {
        std::copy(datagram.begin(), datagram.end(), m_request.m_raw);
        m_request.m_length = static_cast<std::int32_t>(datagram.size());
    }
    return IsAnswerable(0) && Answer(serverAddress, 0);
}

bool CDhcpServer::IsAnswerable(int interfaceIndex) {
    if (!m_request.Decode()) {
        Trace("[DROP] malformed datagram (%d bytes)\n", m_request.m_length);
        return false;
    }
    // Only a client's request about an Ethernet address is ours to answer: a server's reply
    // seen on the link, or a client of another hardware type, carries a chaddr that names no
    // module.
    if (m_request.op != kBootRequest || m_request.htype != kEthernet ||
        m_request.hlen != kEthernetAddressLength) {
        Trace("[DROP] not an Ethernet client's request (op %d, htype %d, hlen %d)\n", m_request.op,
              m_request.htype, m_request.hlen);
        return false;
    }
    const std::uint8_t* mac = m_request.chaddr;
    if (!CarriesMakerOui(mac)) {
        // This server answers no other maker's device, so a REQUEST from one that names a
        // server names another one: the link has a DHCP server of its own.
        if (m_request.m_messageType == kRequest && m_request.m_hasServerId &&
            !IsZero(m_request.m_serverId)) {
            NoticeOtherServer(interfaceIndex);
        }
        Trace("[RECV] Got message from non-supported MAC (%02x:%02x:%02x:%02x:%02x:%02x)\n", mac[0],
              mac[1], mac[2], mac[3], mac[4], mac[5]);
        return false;
    }
    if (!IsAnsweredMac(mac)) {
        Trace("[DROP] %02x:%02x:%02x:%02x:%02x:%02x is not among the modules to answer\n", mac[0],
              mac[1], mac[2], mac[3], mac[4], mac[5]);
        return false;
    }
    // Only a DISCOVER or a REQUEST has an answer; a RELEASE, DECLINE, INFORM or a message
    // without a type gets none rather than one of whatever type was sent last.
    if (m_request.m_messageType != kDiscover && m_request.m_messageType != kRequest) {
        Trace("[RECV] DHCP message type %d not answered\n", m_request.m_messageType);
        return false;
    }
    return true;
}

bool CDhcpServer::IsAnsweredMac(const std::uint8_t* mac) const {
    return m_answeredMacs.empty() ||
           std::any_of(m_answeredMacs.begin(), m_answeredMacs.end(), [mac](const Mac& answered) {
               return std::equal(answered.begin(), answered.end(), mac);
           });
}

bool CDhcpServer::Answer(const Address& serverAddress, int interfaceIndex) {
    if (m_request.m_messageType == kDiscover) {
        PrepareReplyFor(m_request, serverAddress);
        ChooseDiscoverAnswer();
        return m_reply.Encode();
    }
    // A client that names another server in its REQUEST has chosen that server's offer: an
    // answer from us would only fight it. The link has a DHCP server of its own.
    if (NamesAnotherServer(serverAddress)) {
        const std::uint8_t* named = m_request.m_serverId;
        Trace("[RECV] DHCP_REQUEST for server %d.%d.%d.%d, not answered\n", named[0], named[1],
              named[2], named[3]);
        NoticeOtherServer(interfaceIndex);
        return false;
    }
    switch (ChooseRequestAnswer(serverAddress)) {
        case RequestAnswer::kAck:
            PrepareReplyFor(m_request, serverAddress);
            m_reply.m_messageType = kAck;
            break;
        case RequestAnswer::kNak:
            PrepareReplyFor(m_request, serverAddress);
            PrepareNak();
            break;
        case RequestAnswer::kNone:
            return false;
    }
    return m_reply.Encode();
}

bool CDhcpServer::NamesAnotherServer(const Address& serverAddress) const {
    // 0.0.0.0 names no server: a client that was offered none sends it.
    return m_request.m_hasServerId && !IsZero(m_request.m_serverId) &&
           !std::equal(serverAddress.begin(), serverAddress.end(), m_request.m_serverId);
}

void CDhcpServer::NoticeOtherServer(int interfaceIndex) {
    if (!m_otherServerLinks.Add(interfaceIndex)) {
        return;
    }
    const std::uint8_t* named = m_request.m_serverId;
    m_otherServerAddress.store(AddressValue(named));
    m_otherServerInterface.store(interfaceIndex);
    m_otherServerSeen.store(true);
    Trace(
        "[NOTE] another DHCP server (%d.%d.%d.%d) serves this link: answer only the modules "
        "to recover\n",
        named[0], named[1], named[2], named[3]);
    if (m_noticeSink) {
        LinkNotice notice{LinkNotice::Kind::kOtherServer, interfaceIndex, {}};
        std::copy(named, named + 4, notice.otherServer.begin());
        m_noticeSink(notice);
    }
}

void CDhcpServer::PrepareReplyFor(const CDhcpPacket& request, const Address& serverAddress) {
    // Every field the reply carries is set here, so nothing of an earlier answer leaks in.
    m_reply.op = kBootReply;
    m_reply.htype = request.htype;
    m_reply.hlen = request.hlen;
    m_reply.hops = 0;
    std::memcpy(m_reply.xid, request.xid, sizeof m_reply.xid);
    std::memset(m_reply.secs, 0, sizeof m_reply.secs);
    std::memset(m_reply.ciaddr, 0, sizeof m_reply.ciaddr);
    std::memcpy(m_reply.yiaddr, kRecoverySubnet, sizeof kRecoverySubnet);
    m_reply.yiaddr[3] = request.chaddr[5];
    std::memset(m_reply.siaddr, 0, sizeof m_reply.siaddr);
    std::memset(m_reply.giaddr, 0, sizeof m_reply.giaddr);
    std::memset(m_reply.chaddr, 0, sizeof m_reply.chaddr);
    std::memcpy(m_reply.chaddr, request.chaddr, 6);
    std::memset(m_reply.sname, 0, sizeof m_reply.sname);
    std::memset(m_reply.file, 0, sizeof m_reply.file);
    m_reply.m_hasMessageType = true;
    m_reply.m_hasSubnetMask = true;
    std::memcpy(m_reply.m_subnetMask, kRecoveryMask, sizeof kRecoveryMask);
    // Strict clients take no offer or acknowledgement without a server identifier and a
    // lease time. An hour outlasts any recovery session, and a module that renews at half time
    // while the server still runs keeps its address.
    m_reply.m_hasServerId = true;
    std::copy(serverAddress.begin(), serverAddress.end(), m_reply.m_serverId);
    m_reply.m_hasLeaseTime = true;
    m_reply.m_leaseTime[0] = static_cast<std::uint8_t>(kLeaseSeconds >> 24);
    m_reply.m_leaseTime[1] = static_cast<std::uint8_t>(kLeaseSeconds >> 16);
    m_reply.m_leaseTime[2] = static_cast<std::uint8_t>(kLeaseSeconds >> 8);
    m_reply.m_leaseTime[3] = static_cast<std::uint8_t>(kLeaseSeconds);
    m_reply.m_hasRequestedIp = false;
    m_reply.m_hasMessage = false;
}

void CDhcpServer::PrepareNak() {
    // A NAK grants nothing: no address, no mask, no lease time; only its type, the server
    // identifier and a reason the client may log.
    static constexpr char kReason[] = "address not valid on this link";
    m_reply.m_messageType = kNak;
    std::memset(m_reply.yiaddr, 0, sizeof m_reply.yiaddr);
    m_reply.m_hasSubnetMask = false;
    m_reply.m_hasLeaseTime = false;
    m_reply.m_hasMessage = true;
    m_reply.m_messageLength = sizeof kReason - 1;
    std::memcpy(m_reply.m_message, kReason, sizeof kReason - 1);
}

void CDhcpServer::ChooseDiscoverAnswer() {
    Trace("[RECV] DHCP_DISCOVER\n");
    Trace("[SEND] DHCP_OFFER.\n\n");
    m_reply.m_messageType = kOffer;
}

CDhcpServer::RequestAnswer CDhcpServer::ChooseRequestAnswer(const Address& serverAddress) const {
    const std::uint8_t* requested = m_request.m_requestedIp;
    Trace("[RECV] DHCP_REQUEST ");
    if (m_request.m_hasRequestedIp) {
        Trace("%d.%d.%d.%d\n", requested[0], requested[1], requested[2], requested[3]);
    } else {
        Trace("\n");
    }
    const bool selectsThisServer =
        m_request.m_hasServerId &&
        std::equal(serverAddress.begin(), serverAddress.end(), m_request.m_serverId);
    // Which state the client is in decides what the server may say: only a client that took
    // our offer, or one whose address is its 10.200.1.N, is ours to answer.
    RequestAnswer answer = RequestAnswer::kAck;
    if (selectsThisServer || (!m_request.m_hasRequestedIp && IsZero(m_request.ciaddr))) {
        answer = JudgeRequestedAddress();  // selecting, or asking without naming anything
    } else if (!IsZero(m_request.ciaddr)) {
        answer = JudgeClientAddress();  // renewing or rebinding
    } else {
        answer = JudgeRequestedAddress();  // rebooting with a remembered address
        if (answer == RequestAnswer::kNak && !InRecoverySubnet(m_request.m_requestedIp)) {
            Trace(
                "[DROP] DHCP_REQUEST confirms %d.%d.%d.%d, another server's address: not "
                "answered\n",
                requested[0], requested[1], requested[2], requested[3]);
            return RequestAnswer::kNone;
        }
    }
    const std::uint8_t last = m_request.chaddr[5];
    if (answer == RequestAnswer::kAck) {
        Trace("[SEND] DHCP_ACK %d.%d.%d.%d\n\n", kRecoverySubnet[0], kRecoverySubnet[1],
              kRecoverySubnet[2], last);
    } else if (answer == RequestAnswer::kNak) {
        Trace("[SEND] DHCP_NAK (Correct IP should be %d.%d.%d.%d)\n\n", kRecoverySubnet[0],
              kRecoverySubnet[1], kRecoverySubnet[2], last);
    }
    return answer;
}

CDhcpServer::RequestAnswer CDhcpServer::JudgeRequestedAddress() const {
    const std::uint8_t* requested = m_request.m_requestedIp;
    const bool isTheClients = std::equal(kRecoverySubnet, kRecoverySubnet + 3, requested) &&
                              requested[3] == m_request.chaddr[5];
    // A client asking for another address is told that it may not have it.
    return !m_request.m_hasRequestedIp || isTheClients ? RequestAnswer::kAck : RequestAnswer::kNak;
}

CDhcpServer::RequestAnswer CDhcpServer::JudgeClientAddress() const {
    const std::uint8_t* address = m_request.ciaddr;
    if (InRecoverySubnet(m_request.ciaddr) && address[3] == m_request.chaddr[5]) {
        return RequestAnswer::kAck;
    }
    Trace("[DROP] DHCP_REQUEST renews %d.%d.%d.%d, another server's lease: not answered\n",
          address[0], address[1], address[2], address[3]);
    return RequestAnswer::kNone;
}

void CDhcpServer::Trace(const char* format, ...) const {
    if (!m_traceSink) {
        return;  // no one listens: format nothing
    }
    char text[kTraceCapacity];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    m_traceSink(std::string_view(text, std::min<std::size_t>(length, sizeof text - 1)));
}
