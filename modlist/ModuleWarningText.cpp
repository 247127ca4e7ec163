#include "modlist/ModuleWarningText.h"

#include <algorithm>
#include <climits>

#include "platform/framework/Translate.h"

namespace ordvane {
namespace {

int Count(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

std::string NamedOthers(const ModuleWarning& warning) {
    std::string names;
    for (const std::string& mac : warning.namedOthers) {
        names += names.empty() ? "" : ", ";
        names += mac.empty() ? translate("ModuleWarnings", "a module without MAC").Str() : mac;
    }
    return names;
}

std::string NetworksText(const ModuleWarning& warning) {
    std::string text;
    for (const WarningNetwork& network : warning.networks) {
        text += text.empty() ? "" : ", ";
        text += network.prefixLength >= 0
                    ? network.interfaceName + " " + network.network + "/" +
                          std::to_string(network.prefixLength)
                    : FillIn(translate("ModuleWarnings", "%1 %2 mask %3"),
                             {network.interfaceName, network.network, network.mask})
                          .Str();
    }
    if (warning.moreNetworks > 0) {
        text = FillIn(translate("ModuleWarnings", "%1, and %n more", nullptr,
                                Count(warning.moreNetworks)),
                      {text})
                   .Str();
    }
    return text;
}

std::string OffSubnetSentence(const ModuleWarning& warning) {
    const bool reached = !warning.reachedThrough.empty();
    if (warning.networks.empty()) {
        return reached ? FillIn(translate("ModuleWarnings",
                                          "The IP address %1 is on none of this computer's "
                                          "networks (it has no IPv4 network); its answer came in "
                                          "through %2."),
                                {warning.address, warning.reachedThrough})
                             .Str()
                       : FillIn(translate("ModuleWarnings",
                                          "The IP address %1 is on none of this computer's "
                                          "networks (it has no IPv4 network)."),
                                {warning.address})
                             .Str();
    }
    const std::string networks = NetworksText(warning);
    return reached ? FillIn(translate("ModuleWarnings",
                                      "The IP address %1 is on none of this computer's networks "
                                      "(%2); its answer came in through %3."),
                            {warning.address, networks, warning.reachedThrough})
                         .Str()
                   : FillIn(translate("ModuleWarnings",
                                      "The IP address %1 is on none of this computer's networks "
                                      "(%2)."),
                            {warning.address, networks})
                         .Str();
}

}  // namespace

std::string WindowWarningSentence(const ModuleWarning& warning) {
    const int others = Count(warning.others);
    const bool allNamed = warning.namedOthers.size() == warning.others;
    switch (warning.kind) {
        case ModuleWarningKind::kDuplicateIp:
            return FillIn(allNamed ? translate("ModuleWarnings",
                                               "The IP address %1 is also used by %n other "
                                               "module(s): %2.",
                                               nullptr, others)
                                   : translate("ModuleWarnings",
                                               "The IP address %1 is also used by %n other "
                                               "module(s), among them %2.",
                                               nullptr, others),
                          {warning.address, NamedOthers(warning)})
                .Str();
        case ModuleWarningKind::kSharedRecoveryAddress:
            return FillIn(allNamed ? translate("ModuleWarnings",
                                               "The recovery DHCP server would give the same "
                                               "address %1 to %n other module(s): %2.",
                                               nullptr, others)
                                   : translate("ModuleWarnings",
                                               "The recovery DHCP server would give the same "
                                               "address %1 to %n other module(s), among them %2.",
                                               nullptr, others),
                          {warning.address, NamedOthers(warning)})
                .Str();
        case ModuleWarningKind::kOffSubnet:
            return OffSubnetSentence(warning);
        case ModuleWarningKind::kMacClaimedTwice:
            break;
    }
    return warning.sentence;
}

}  // namespace ordvane
