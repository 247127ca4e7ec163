#ifndef ORDVANE_MODSVC_MODULESERVICE_H
#define ORDVANE_MODSVC_MODULESERVICE_H
/*
 * The boundary to the module-service library: the two records that cross it, the event codes
 * its callback carries, and its eight functions. Both records have natural alignment and
 * native byte order; an IPv4 value holds its first octet in the most significant byte.
 *
 * Usable from C and C++; includes nothing of ours.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(ZEVA_BUILDING_LIBRARY)
#define ZEVA_API __attribute__((visibility("default")))
#else
#define ZEVA_API
#endif

/* One module's answer to a scan. Each value has a presence byte beside it (0 = absent). */
typedef struct ZEVA_ModuleScanResponseType {
    uint8_t serviceVersionMajor; /* 0: decides wink support */
    uint8_t serviceVersionMinor; /* 1 */
    uint8_t reserved2;           /* 2: carries nothing */
    char moduleType[128];        /* 3 */
    uint8_t moduleTypeValid;     /* 131 */
    uint8_t fwMajor;             /* 132 */
    uint8_t fwMinor;             /* 133 */
    uint16_t fwBuild;            /* 134 */
    uint8_t fwVersionValid;      /* 136 */
    uint8_t macId[6];            /* 137 */
    uint8_t macIdValid;          /* 143 */
    uint32_t ipAddress;          /* 144 */
    uint8_t ipAddressValid;      /* 148 */
    uint32_t subnetMask;         /* 152 */
    uint8_t subnetMaskValid;     /* 156 */
    uint32_t gateway;            /* 160 */
    uint8_t gatewayValid;        /* 164 */
    uint8_t dhcp;                /* 165: 1 = DHCP on */
    uint8_t dhcpValid;           /* 166 */
    uint8_t passwordSet;         /* 167: nonzero = protected by a password */
    uint8_t passwordSetValid;    /* 168 */
    char hostname[128];          /* 169 */
    uint8_t hostnameValid;       /* 297 */
    uint32_t dns1;               /* 300 */
    uint8_t dns1Valid;           /* 304 */
    uint32_t dns2;               /* 308 */
    uint8_t dns2Valid;           /* 312 */
    char challenge[35];          /* 313: first two characters are the password hash's salt */
    uint8_t hashedPasswords;     /* 348: 1 = salted MD5 responses, else plain text */
    uint8_t protocolRevision;    /* 349: the module's protocol revision; 2 and later take a new
                                    hashed password sealed under the current one (0 or 1: in
                                    clear). A library of the first revision leaves it 0. */
} ZEVA_ModuleScanResponseType;

/* A configure request, or a wink request in which only macId is meaningful. */
typedef struct ZEVA_ConfigureRequestType {
    uint8_t macId[6];       /* 0 */
    char password[128];     /* 6: byte 133 is always 0 */
    uint8_t changePassword; /* 134: 1 = newPassword is present */
    char newPassword[128];  /* 135: byte 262 is always 0 */
    uint32_t ipAddress;     /* 264 */
    uint32_t subnetMask;    /* 268 */
    uint32_t gateway;       /* 272 */
    uint8_t dhcp;           /* 276: 1 = on */
    char hostname[128];     /* 277: byte 404 is always 0 */
    uint32_t dns1;          /* 408 */
    uint32_t dns2;          /* 412 */
} ZEVA_ConfigureRequestType;

/* Event codes passed to the callback. */
enum {
    ZEVA_EVENT_RESPONSE = 1,          /* a scan response is queued */
    ZEVA_EVENT_RESCAN = 2,            /* a configure was accepted: scan again */
    ZEVA_EVENT_INVALID_PASSWORD = 3,  /* a module rejected a password; its MAC is queued */
    ZEVA_EVENT_NO_ANSWER = 4,         /* a configure or wink got no answer before its deadline */
    ZEVA_EVENT_MAC_CONFLICT = 5,      /* a configure or wink was not sent: two senders answered
                                         the last scan for its MAC */
    ZEVA_EVENT_PASSWORD_DOWNGRADE = 6 /* a configure was not sent: its module asked for hashed
                                         passwords before, its last answer asks for plain text */
};

typedef void (*ZEVA_CallBackType)(int eventCode);

ZEVA_API void ZEVA_RegisterCallBack(ZEVA_CallBackType callback);
ZEVA_API int ZEVA_Start(void);
ZEVA_API int ZEVA_SendModuleScan(void);
/* Copies and dequeues the next response: nonzero when one was copied, 0 when none is queued. */
ZEVA_API int ZEVA_GetResponse(ZEVA_ModuleScanResponseType* response);
/* Copies the MAC at the head of the invalid-password queue and leaves it queued: 1 when copied. */
ZEVA_API int ZEVA_GetInvPswdMacId(uint8_t* macId);
ZEVA_API void ZEVA_RemoveFirstInvPswdMacId(void);
ZEVA_API void ZEVA_SendConfigure(ZEVA_ConfigureRequestType* request);
ZEVA_API void ZEVA_SendWink(ZEVA_ConfigureRequestType* request);

#ifdef __cplusplus
} /* extern "C" */
#endif

#ifdef __cplusplus
#define ZEVA_STATIC_ASSERT static_assert
#else
#define ZEVA_STATIC_ASSERT _Static_assert
#endif

#define ZEVA_PIN(type, field, offset) \
    ZEVA_STATIC_ASSERT(offsetof(type, field) == (offset), #type "." #field " offset")

ZEVA_STATIC_ASSERT(sizeof(ZEVA_ModuleScanResponseType) == 352, "scan response size");
ZEVA_PIN(ZEVA_ModuleScanResponseType, serviceVersionMajor, 0);
ZEVA_PIN(ZEVA_ModuleScanResponseType, serviceVersionMinor, 1);
ZEVA_PIN(ZEVA_ModuleScanResponseType, moduleType, 3);
ZEVA_PIN(ZEVA_ModuleScanResponseType, moduleTypeValid, 131);
ZEVA_PIN(ZEVA_ModuleScanResponseType, fwMajor, 132);
ZEVA_PIN(ZEVA_ModuleScanResponseType, fwMinor, 133);
ZEVA_PIN(ZEVA_ModuleScanResponseType, fwBuild, 134);
ZEVA_PIN(ZEVA_ModuleScanResponseType, fwVersionValid, 136);
ZEVA_PIN(ZEVA_ModuleScanResponseType, macId, 137);
ZEVA_PIN(ZEVA_ModuleScanResponseType, macIdValid, 143);
ZEVA_PIN(ZEVA_ModuleScanResponseType, ipAddress, 144);
ZEVA_PIN(ZEVA_ModuleScanResponseType, ipAddressValid, 148);
ZEVA_PIN(ZEVA_ModuleScanResponseType, subnetMask, 152);
ZEVA_PIN(ZEVA_ModuleScanResponseType, subnetMaskValid, 156);
ZEVA_PIN(ZEVA_ModuleScanResponseType, gateway, 160);
ZEVA_PIN(ZEVA_ModuleScanResponseType, gatewayValid, 164);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dhcp, 165);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dhcpValid, 166);
ZEVA_PIN(ZEVA_ModuleScanResponseType, passwordSet, 167);
ZEVA_PIN(ZEVA_ModuleScanResponseType, passwordSetValid, 168);
ZEVA_PIN(ZEVA_ModuleScanResponseType, hostname, 169);
ZEVA_PIN(ZEVA_ModuleScanResponseType, hostnameValid, 297);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dns1, 300);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dns1Valid, 304);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dns2, 308);
ZEVA_PIN(ZEVA_ModuleScanResponseType, dns2Valid, 312);
ZEVA_PIN(ZEVA_ModuleScanResponseType, challenge, 313);
ZEVA_PIN(ZEVA_ModuleScanResponseType, hashedPasswords, 348);
ZEVA_PIN(ZEVA_ModuleScanResponseType, protocolRevision, 349);

ZEVA_STATIC_ASSERT(sizeof(ZEVA_ConfigureRequestType) == 416, "configure request size");
ZEVA_PIN(ZEVA_ConfigureRequestType, macId, 0);
ZEVA_PIN(ZEVA_ConfigureRequestType, password, 6);
ZEVA_PIN(ZEVA_ConfigureRequestType, changePassword, 134);
ZEVA_PIN(ZEVA_ConfigureRequestType, newPassword, 135);
ZEVA_PIN(ZEVA_ConfigureRequestType, ipAddress, 264);
ZEVA_PIN(ZEVA_ConfigureRequestType, subnetMask, 268);
ZEVA_PIN(ZEVA_ConfigureRequestType, gateway, 272);
ZEVA_PIN(ZEVA_ConfigureRequestType, dhcp, 276);
ZEVA_PIN(ZEVA_ConfigureRequestType, hostname, 277);
ZEVA_PIN(ZEVA_ConfigureRequestType, dns1, 408);
ZEVA_PIN(ZEVA_ConfigureRequestType, dns2, 412);

#undef ZEVA_PIN

#endif /* ORDVANE_MODSVC_MODULESERVICE_H */
