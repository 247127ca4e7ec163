// The records cross the library boundary as raw memory: values must sit at their offsets.
#include <gtest/gtest.h>

#include <cstring>

#include "modsvc/ModuleService.h"

namespace {

template <typename Value>
Value At(const void* record, std::size_t offset) {
    Value value{};
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

TEST(RecordLayout, ScanResponseValuesSitAtTheirOffsets) {
    ZEVA_ModuleScanResponseType response{};
    response.serviceVersionMinor = 10;
    std::strcpy(response.moduleType, "QM");
    response.fwBuild = 0x1234;
    response.macId[5] = 0x56;
    response.ipAddress = 0x0A000001u;
    response.gateway = 0x0A0000FEu;
    response.dhcpValid = 1;
    std::strcpy(response.hostname, "host");
    response.dns2 = 0x08080404u;
    std::strcpy(response.challenge, "ab");
    response.hashedPasswords = 1;
    EXPECT_EQ(sizeof response, 352u);
    EXPECT_EQ(At<std::uint8_t>(&response, 1), 10);
    EXPECT_EQ(At<char>(&response, 3), 'Q');
    EXPECT_EQ(At<std::uint16_t>(&response, 134), 0x1234);
    EXPECT_EQ(At<std::uint8_t>(&response, 142), 0x56);
    EXPECT_EQ(At<std::uint32_t>(&response, 144), 0x0A000001u);
    EXPECT_EQ(At<std::uint32_t>(&response, 160), 0x0A0000FEu);
    EXPECT_EQ(At<std::uint8_t>(&response, 166), 1);
    EXPECT_EQ(At<char>(&response, 169), 'h');
    EXPECT_EQ(At<std::uint32_t>(&response, 308), 0x08080404u);
    EXPECT_EQ(At<char>(&response, 313), 'a');
    EXPECT_EQ(At<std::uint8_t>(&response, 348), 1);
}

TEST(RecordLayout, ConfigureRequestValuesSitAtTheirOffsets) {
    ZEVA_ConfigureRequestType request{};
    request.macId[0] = 0x0A;
    std::strcpy(request.password, "p");
    request.changePassword = 1;
    std::strcpy(request.newPassword, "n");
    request.subnetMask = 0xFFFFFF00u;
    request.dhcp = 1;
    std::strcpy(request.hostname, "h");
    request.dns2 = 7;
    EXPECT_EQ(sizeof request, 416u);
    EXPECT_EQ(At<std::uint8_t>(&request, 0), 0x0A);
    EXPECT_EQ(At<char>(&request, 6), 'p');
    EXPECT_EQ(At<std::uint8_t>(&request, 134), 1);
    EXPECT_EQ(At<char>(&request, 135), 'n');
    EXPECT_EQ(At<std::uint32_t>(&request, 268), 0xFFFFFF00u);
    EXPECT_EQ(At<std::uint8_t>(&request, 276), 1);
    EXPECT_EQ(At<char>(&request, 277), 'h');
    EXPECT_EQ(At<std::uint32_t>(&request, 412), 7u);
}

}  // namespace
