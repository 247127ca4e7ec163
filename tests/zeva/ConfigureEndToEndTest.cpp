// The library and the emulator over loopback: configure, wrong passwords, wink, and all of it
// with datagrams lost and duplicated.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "modsvc/ModuleService.h"
#include "tests/zeva/EmulatorTest.h"

#include "config/ConfigureRequestBuilder.h"
#include "config/MD5.h"
#include "sim/PasswordCheck.h"

namespace ordvane::testing {
namespace {

using std::chrono::milliseconds;

// Long enough for retransmissions and duplicates to have shown up if they were going to.
constexpr milliseconds kSettle(1200);

const std::string kHeader = "mac,service,type,ip,mask,gateway,dhcp,hostname,hashed,password\n";

void SetText(char* field, std::size_t width, const std::string& text) {
    std::memset(field, 0, width);
    std::strncpy(field, text.c_str(), width - 1);
}

ZEVA_ConfigureRequestType NewSettings(const ZEVA_ModuleScanResponseType& module,
                                      const std::string& password) {
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, module.macId, 6);
    SetText(request.password, sizeof request.password, password);
    request.ipAddress = 0x0A090807u;
    request.subnetMask = 0xFFFF0000u;
    request.gateway = 0x0A090001u;
    request.dhcp = 0;
    SetText(request.hostname, sizeof request.hostname, "renamed");
    request.dns1 = 0x08080808u;
    request.dns2 = 0x08080404u;
    return request;
}

void ExpectNewSettings(const ZEVA_ModuleScanResponseType& record) {
    EXPECT_EQ(record.ipAddress, 0x0A090807u);
    EXPECT_EQ(record.ipAddressValid, 1);
    EXPECT_EQ(record.subnetMask, 0xFFFF0000u);
    EXPECT_EQ(record.gateway, 0x0A090001u);
    EXPECT_EQ(record.dhcp, 0);
    EXPECT_EQ(record.dhcpValid, 1);
    EXPECT_STREQ(record.hostname, "renamed");
    // The fleets here report no DNS servers, and a module ignores what it does not report.
    EXPECT_EQ(record.dns1Valid, 0);
    EXPECT_EQ(record.dns2Valid, 0);
}

constexpr const char* kConfigureLine =
    "configure mac=0A-51-4D-00-00-01 ip=10.9.8.7 mask=255.255.0.0 gateway=10.9.0.1 dhcp=off "
    "dns1=8.8.8.8 dns2=8.8.4.4 password=kept hostname=renamed";

class ConfigureEndToEnd : public EmulatorTest {
protected:
    std::string WriteFleetFile(const std::string& rows) {
        return WriteTemporaryFile("fleet.csv", kHeader + rows);
    }
    void StartWithFleet(const std::string& rows) { StartWith({"--fleet", WriteFleetFile(rows)}); }
    ZEVA_ModuleScanResponseType ScanOne(const std::string& mac) {
        const auto answers = ScanFor(m_expectedModules);
        const auto found = answers.find(mac);
        EXPECT_NE(found, answers.end()) << mac;
        return found != answers.end() ? found->second : ZEVA_ModuleScanResponseType{};
    }
    std::size_t m_expectedModules = 1;
};

TEST_F(ConfigureEndToEnd, PlainConfigureChangesTheModuleAndRaisesRescanOnce) {
    StartWithFleet("0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,1,old,0,secret\n");
    ZEVA_ConfigureRequestType request = NewSettings(ScanOne("0A-51-4D-00-00-01"), "secret");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESCAN), 1);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_INVALID_PASSWORD), 0);
    EXPECT_EQ(m_sim->LinesStartingWith("configure "), std::vector<std::string>{kConfigureLine});
    ExpectNewSettings(ScanOne("0A-51-4D-00-00-01"));
}

TEST_F(ConfigureEndToEnd, PlainPasswordChangeTakesEffect) {
    StartWithFleet("0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,old,0,secret\n");
    ZEVA_ConfigureRequestType request = NewSettings(ScanOne("0A-51-4D-00-00-01"), "secret");
    request.changePassword = 1;
    SetText(request.newPassword, sizeof request.newPassword, "better");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1));
    // The old password no longer works, the new one does.
    request = NewSettings(ScanOne("0A-51-4D-00-00-01"), "secret");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_INVALID_PASSWORD, 1));
    request = NewSettings(ScanOne("0A-51-4D-00-00-01"), "better");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 2));
}

TEST_F(ConfigureEndToEnd, WrongPasswordQueuesTheMacOnceUntilRemoved) {
    StartWithFleet("0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,old,0,secret\n");
    const ZEVA_ModuleScanResponseType before = ScanOne("0A-51-4D-00-00-01");
    std::uint8_t mac[6] = {};
    EXPECT_NE(ZEVA_GetInvPswdMacId(mac), 1);
    ZEVA_ConfigureRequestType request = NewSettings(before, "guess");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_INVALID_PASSWORD, 1));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_INVALID_PASSWORD), 1);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESCAN), 0);
    for (int look = 0; look < 2; ++look) {
        std::memset(mac, 0, sizeof mac);
        ASSERT_EQ(ZEVA_GetInvPswdMacId(mac), 1);
        EXPECT_EQ(FormatMacAddress(mac), "0A-51-4D-00-00-01");
    }
    ZEVA_RemoveFirstInvPswdMacId();
    EXPECT_NE(ZEVA_GetInvPswdMacId(mac), 1);
    EXPECT_EQ(m_sim->LinesStartingWith("reject "),
              std::vector<std::string>{"reject mac=0A-51-4D-00-00-01 reason=wrong-password"});
    EXPECT_TRUE(m_sim->LinesStartingWith("configure ").empty());
    EXPECT_EQ(ScanOne("0A-51-4D-00-00-01").ipAddress, before.ipAddress);
}

TEST_F(ConfigureEndToEnd, WinkReachesOnlyItsModuleAndChangesNothing) {
    m_expectedModules = 2;
    StartWithFleet(
        "0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,first,0,\n"
        "0A-51-4D-00-00-02,2.0,QM,10.1.1.2,255.255.255.0,10.1.1.254,0,second,0,\n");
    ZEVA_ModuleScanResponseType before = ScanOne("0A-51-4D-00-00-02");
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, before.macId, 6);
    ZEVA_SendWink(&request);
    ASSERT_TRUE(m_sim->WaitForLines("wink ", 1));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(m_sim->Lines(), std::vector<std::string>{"wink mac=0A-51-4D-00-00-02"});
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESCAN), 0);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_INVALID_PASSWORD), 0);
    ZEVA_ModuleScanResponseType after = ScanOne("0A-51-4D-00-00-02");
    // Only the challenge is new with every answer.
    std::memset(before.challenge, 0, sizeof before.challenge);
    std::memset(after.challenge, 0, sizeof after.challenge);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(ConfigureEndToEnd, StateFileFollowsAppliedConfigures) {
    const std::string state = TemporaryPath("state.csv");
    const std::string fleet = WriteFleetFile(
        "0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,old,0,secret\n");
    StartWith({"--fleet", fleet, "--state", state});
    ZEVA_ConfigureRequestType request = NewSettings(ScanOne("0A-51-4D-00-00-01"), "secret");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1));
    // A second emulator started from the state file plays the configured module.
    m_sim->Stop();
    StartWith({"--fleet", state});
    ExpectNewSettings(ScanOne("0A-51-4D-00-00-01"));
}

TEST_F(ConfigureEndToEnd, LossAndDuplicationLoseNoModuleAndApplyConfigureOnce) {
    constexpr std::size_t kModules = 200;
    StartWith({"--count", std::to_string(kModules), "--seed", "3", "--loss", "0.2", "--dup", "0.2",
               "--jitter-ms", "100"});
    const auto answers = ScanFor(kModules, std::chrono::seconds(20));
    ASSERT_EQ(answers.size(), kModules);
    // A plain-password module: generated modules that have a password use "quillmor".
    const auto plain = std::find_if(answers.begin(), answers.end(), [](const auto& answer) {
        return answer.second.hashedPasswords == 0;
    });
    ASSERT_NE(plain, answers.end());
    ZEVA_ConfigureRequestType request = NewSettings(plain->second, "quillmor");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESCAN), 1);
    EXPECT_EQ(m_sim->LinesStartingWith("configure ").size(), 1u);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESPONSE), static_cast<int>(kModules));
}

std::string Md5Hex(const std::string& text) {
    MD5 digest;
    digest.update(reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<unsigned int>(text.size()));
    digest.finalize();
    return digest.hex_digest();
}

// The response a configuring program computes from the challenge of the module's answer.
std::string ChallengeResponse(const ZEVA_ModuleScanResponseType& module,
                              const std::string& password) {
    const std::string challenge = module.challenge;
    const std::string salt = challenge.substr(0, 2);
    return Md5Hex(salt + Md5Hex(salt + password) + challenge);
}

TEST_F(ConfigureEndToEnd, HashedConfigureWithChallengeResponseAndNewSaltedPassword) {
    StartWithFleet("0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,old,1,secret\n");
    const ZEVA_ModuleScanResponseType module = ScanOne("0A-51-4D-00-00-01");
    ASSERT_EQ(module.hashedPasswords, 1);
    ZEVA_ConfigureRequestType request = NewSettings(module, ChallengeResponse(module, "secret"));
    request.changePassword = 1;
    // Sealed under the current password, as a module of revision 2 takes it.
    SetText(request.newPassword, sizeof request.newPassword,
            SealStoredForm(CurrentStoredForm(module.challenge, "secret"), module.challenge,
                           "Xy" + Md5Hex("Xy" + std::string("better"))));
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESCAN), 1);
    EXPECT_EQ(m_sim->LinesStartingWith("configure ").size(), 1u);

    const ZEVA_ModuleScanResponseType changed = ScanOne("0A-51-4D-00-00-01");
    ExpectNewSettings(changed);
    EXPECT_EQ(std::string(changed.challenge).substr(0, 2), "Xy");
    // A response that was already used proves nothing a second time.
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_INVALID_PASSWORD, 1));
    // The new password answers the new challenge.
    request = NewSettings(changed, ChallengeResponse(changed, "better"));
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 2));
}

TEST_F(ConfigureEndToEnd, HashedResponseOverTheWrongPasswordIsRejected) {
    StartWithFleet("0A-51-4D-00-00-01,2.0,QM,10.1.1.1,255.255.255.0,10.1.1.254,0,old,1,secret\n");
    const ZEVA_ModuleScanResponseType module = ScanOne("0A-51-4D-00-00-01");
    ZEVA_ConfigureRequestType request = NewSettings(module, ChallengeResponse(module, "Secret"));
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_INVALID_PASSWORD, 1));
    EXPECT_TRUE(m_sim->LinesStartingWith("configure ").empty());
}

// Someone on the link sees a hashed password change and uses its new-password field as the
// stored form to answer the next challenge. From a module of the first protocol revision that
// field is the stored form itself; from one of revision 2 it is sealed under the old password,
// and only the new password itself works afterwards.
TEST_F(ConfigureEndToEnd, ASealedNewPasswordSeenOnTheWireAnswersNoChallenge) {
    const std::string stored = sim::SaltedDigest("ab", "quillmor");
    StartWith({"--fleet", WriteTemporaryFile("fleet.csv",
                                             "mac,hashed,password_hash,protocol\n"
                                             "0A-51-4D-00-00-01,1," +
                                                 stored +
                                                 ",1\n"
                                                 "0A-51-4D-00-00-02,1," +
                                                 stored + ",2\n")});
    m_expectedModules = 2;
    struct Case {
        std::string mac;
        int revision;
        int attackerEvent;
    };
    const Case cases[] = {{"0A-51-4D-00-00-01", 1, ZEVA_EVENT_RESCAN},
                          {"0A-51-4D-00-00-02", 2, ZEVA_EVENT_INVALID_PASSWORD}};
    for (const Case& c : cases) {
        const ZEVA_ModuleScanResponseType module = ScanOne(c.mac);
        EXPECT_EQ(module.protocolRevision, c.revision);
        ConfigureDialogOutput change;
        change.password = "quillmor";
        change.changePassword = 1;
        change.newPassword = "fresh";
        ZEVA_ConfigureRequestType request;
        ASSERT_TRUE(BuildConfigureRequest(ToModuleRecord(module), change, request));
        const std::string seen = request.newPassword;  // travels on the wire as it is
        int rescans = LibraryEvents::Count(ZEVA_EVENT_RESCAN);
        ZEVA_SendConfigure(&request);
        ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, ++rescans)) << m_sim->Describe();

        ZEVA_ModuleScanResponseType again = ScanOne(c.mac);
        ZEVA_ConfigureRequestType attack = NewSettings(again, "");
        SetText(attack.password, sizeof attack.password,
                sim::ChallengeResponse(seen, again.challenge));
        const int before = LibraryEvents::Count(c.attackerEvent);
        ZEVA_SendConfigure(&attack);
        EXPECT_TRUE(LibraryEvents::WaitFor(c.attackerEvent, before + 1)) << m_sim->Describe();

        again = ScanOne(c.mac);
        ConfigureDialogOutput owner;
        owner.password = "fresh";
        owner.hostname = "owner";
        ASSERT_TRUE(BuildConfigureRequest(ToModuleRecord(again), owner, request));
        rescans = LibraryEvents::Count(ZEVA_EVENT_RESCAN);
        ZEVA_SendConfigure(&request);
        EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, rescans + 1)) << m_sim->Describe();
    }
}

}  // namespace
}  // namespace ordvane::testing
