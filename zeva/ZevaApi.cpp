// The eight exported functions of libzeva.so over one process-wide ModuleServiceClient.
//
// The client is created on first use and never destroyed: the library lives until the process
// ends. At exit its worker is stopped (and joined) before static objects go away, so the
// callback never runs into a program that is being torn down. With ZEVA_STATISTICS set, the
// drop counters are written to standard error at exit.

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "modsvc/ModuleService.h"
#include "zeva/ModuleServiceClient.h"

namespace ordvane::zeva {
namespace {

ModuleServiceClient& Client() {
    static ModuleServiceClient* const client = new ModuleServiceClient();
    return *client;
}

void PrintStatistics() {
    const ClientStatistics statistics = Client().Statistics();
    std::fprintf(stderr,
                 "zeva: queued=%llu repeated=%llu stale=%llu responses-dropped=%llu "
                 "invalid-password-dropped=%llu unmatched-command-answers=%llu refused=%llu "
                 "timed-out=%llu commands-dropped=%llu foreign-command-answers=%llu "
                 "conflicting-answers=%llu refused-for-conflict=%llu modules-dropped=%llu "
                 "modules-forgotten=%llu refused-for-downgrade=%llu",
                 static_cast<unsigned long long>(statistics.answersQueued),
                 static_cast<unsigned long long>(statistics.repeatedAnswers),
                 static_cast<unsigned long long>(statistics.staleAnswers),
                 static_cast<unsigned long long>(statistics.responsesDropped),
                 static_cast<unsigned long long>(statistics.invalidPasswordsDropped),
                 static_cast<unsigned long long>(statistics.unmatchedCommandAnswers),
                 static_cast<unsigned long long>(statistics.refusedCommands),
                 static_cast<unsigned long long>(statistics.commandsTimedOut),
                 static_cast<unsigned long long>(statistics.commandsDropped),
                 static_cast<unsigned long long>(statistics.foreignCommandAnswers),
                 static_cast<unsigned long long>(statistics.conflictingAnswers),
                 static_cast<unsigned long long>(statistics.commandsRefusedForConflict),
                 static_cast<unsigned long long>(statistics.unknownModulesDropped),
                 static_cast<unsigned long long>(statistics.modulesForgotten),
                 static_cast<unsigned long long>(statistics.commandsRefusedForDowngrade));
    PrintDecodeErrorCounts(stderr, statistics.decodeErrors);
    std::fprintf(stderr, "\n");
}

void StopAtExit() {
    Client().Stop();
    if (std::getenv("ZEVA_STATISTICS") != nullptr) {
        PrintStatistics();
    }
}

}  // namespace
}  // namespace ordvane::zeva

extern "C" {

ZEVA_API void ZEVA_RegisterCallBack(ZEVA_CallBackType callback) {
    ordvane::zeva::Client().RegisterCallback(callback);
}

ZEVA_API int ZEVA_Start(void) {
    static std::once_flag exitHandler;
    std::call_once(exitHandler, [] { std::atexit(ordvane::zeva::StopAtExit); });
    return ordvane::zeva::Client().Start() ? 1 : 0;
}

ZEVA_API int ZEVA_SendModuleScan(void) {
    return ordvane::zeva::Client().SendScan() ? 1 : 0;
}

ZEVA_API int ZEVA_GetResponse(ZEVA_ModuleScanResponseType* response) {
    if (response == nullptr) {
        return 0;
    }
    return ordvane::zeva::Client().TakeResponse(*response) ? 1 : 0;
}

ZEVA_API int ZEVA_GetInvPswdMacId(uint8_t* macId) {
    return ordvane::zeva::Client().PeekInvalidPasswordMac(macId) ? 1 : 0;
}

ZEVA_API void ZEVA_RemoveFirstInvPswdMacId(void) {
    ordvane::zeva::Client().RemoveFirstInvalidPasswordMac();
}

ZEVA_API void ZEVA_SendConfigure(ZEVA_ConfigureRequestType* request) {
    if (request != nullptr) {
        ordvane::zeva::Client().SendConfigure(*request);
    }
}

ZEVA_API void ZEVA_SendWink(ZEVA_ConfigureRequestType* request) {
    if (request != nullptr) {
        ordvane::zeva::Client().SendWink(*request);
    }
}

}  // extern "C"
