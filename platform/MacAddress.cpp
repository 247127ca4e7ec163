#include "platform/MacAddress.h"

#include <algorithm>

#include "platform/AddressText.h"

namespace ordvane {

MacAddress MacAddress::FromBytes(const std::uint8_t* bytes) {
    Bytes copy{};
    std::copy(bytes, bytes + copy.size(), copy.begin());
    return MacAddress(copy);
}

MacAddress MacAddress::FromKey(std::uint64_t key) {
    Bytes bytes{};
    for (std::size_t index = bytes.size(); index > 0; --index) {
        bytes[index - 1] = static_cast<std::uint8_t>(key & 0xFFU);
        key >>= 8;
    }
    return MacAddress(bytes);
}

std::string MacAddress::Text() const {
    return FormatMacAddress(data());
}

}  // namespace ordvane
