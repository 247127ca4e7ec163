#include "platform/ThreadLocale.h"

#include <locale.h>
#include <string.h>
#include <clocale>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/Mutex.h"

namespace {

struct LocaleEntry {
    LCID id;
    const char* name;
};

constexpr LocaleEntry kLocaleTable[] = {
    {1025, "ar_SA.UTF-8"}, {1028, "zh_TW.UTF-8"}, {1029, "cs_CZ.UTF-8"}, {1030, "da_DK.UTF-8"},
    {1031, "de_DE.UTF-8"}, {1032, "el_GR.UTF-8"}, {1033, "en_US.UTF-8"}, {1034, "es_ES.UTF-8"},
    {1035, "fi_FI.UTF-8"}, {1036, "fr_FR.UTF-8"}, {1037, "he_IL.UTF-8"}, {1038, "hu_HU.UTF-8"},
    {1040, "it_IT.UTF-8"}, {1041, "ja_JP.UTF-8"}, {1042, "ko_KR.UTF-8"}, {1043, "nl_NL.UTF-8"},
    {1044, "nb_NO.UTF-8"}, {1045, "pl_PL.UTF-8"}, {1046, "pt_BR.UTF-8"}, {1049, "ru_RU.UTF-8"},
    {1053, "sv_SE.UTF-8"}, {1055, "tr_TR.UTF-8"}, {2052, "zh_CN.UTF-8"}, {2057, "en_GB.UTF-8"},
    {2070, "pt_PT.UTF-8"}, {3079, "de_AT.UTF-8"}, {3081, "en_AU.UTF-8"}, {3084, "fr_CA.UTF-8"},
    {4105, "en_CA.UTF-8"}, {2055, "de_CH.UTF-8"},
};

// The calling thread's own locale; none until SetThreadLocale succeeds.
struct ThreadLocaleState {
    LCID id = LOCALE_USER_DEFAULT;
    locale_t handle = static_cast<locale_t>(nullptr);

    ~ThreadLocaleState() {
        if (handle != static_cast<locale_t>(nullptr)) {
            uselocale(LC_GLOBAL_LOCALE);
            freelocale(handle);
        }
    }
};

thread_local ThreadLocaleState t_state;

// Which locale names newlocale accepted, shared by every thread.
struct InstalledLocales {
    ordvane::Mutex mutex;
    std::unordered_map<std::string, bool> known GUARDED_BY(mutex);
};

bool IsInstalled(const char* name) {
    static InstalledLocales cache;
    ordvane::MutexLock lock(cache.mutex);
    const auto found = cache.known.find(name);
    if (found != cache.known.end()) {
        return found->second;
    }
    locale_t probe = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    const bool installed = probe != static_cast<locale_t>(nullptr);
    if (installed) {
        freelocale(probe);
    }
    cache.known.emplace(name, installed);
    return installed;
}

// The user's collation (LC_ALL, LC_COLLATE or LANG), read once when a text is first compared;
// null when they name no installed locale, which leaves byte order. A thread without a locale
// of its own compares in it, as the user expects of a list sorted by name.
locale_t UserCollation() {
    static const locale_t user = newlocale(LC_COLLATE_MASK, "", static_cast<locale_t>(nullptr));
    return user;
}

locale_t CollationOfThisThread() {
    return t_state.handle != static_cast<locale_t>(nullptr) ? t_state.handle : UserCollation();
}

}  // namespace

const char* LocaleNameFromLcid(LCID locale) {
    for (const auto& entry : kLocaleTable) {
        if (entry.id == locale) {
            return entry.name;
        }
    }
    return nullptr;
}

LCID LcidFromLocaleName(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    const std::size_t length = std::strcspn(name, ".@");
    for (const auto& entry : kLocaleTable) {
        if (std::strcspn(entry.name, ".") == length &&
            std::strncmp(entry.name, name, length) == 0) {
            return entry.id;
        }
    }
    return 0;
}

BOOL IsValidLocale(LCID locale, DWORD flags) {
    const char* name = LocaleNameFromLcid(locale);
    if (name == nullptr) {
        return FALSE;
    }
    if ((flags & LCID_INSTALLED) != 0) {
        return IsInstalled(name) ? TRUE : FALSE;
    }
    return TRUE;
}

LCID GetThreadLocale() {
    return t_state.id;
}

BOOL SetThreadLocale(LCID locale) {
    locale_t handle = static_cast<locale_t>(nullptr);
    if (locale != LOCALE_USER_DEFAULT) {
        const char* name = LocaleNameFromLcid(locale);
        if (name == nullptr) {
            return FALSE;
        }
        handle = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
        if (handle == static_cast<locale_t>(nullptr)) {
            return FALSE;
        }
    }
    uselocale(handle != static_cast<locale_t>(nullptr) ? handle : LC_GLOBAL_LOCALE);
    if (t_state.handle != static_cast<locale_t>(nullptr)) {
        freelocale(t_state.handle);
    }
    t_state.handle = handle;
    t_state.id = locale;
    return TRUE;
}

int lstrcmpA(LPCSTR first, LPCSTR second) {
    if (first == nullptr || second == nullptr) {
        return first == second ? 0 : (first == nullptr ? -1 : 1);
    }
    const locale_t collation = CollationOfThisThread();
    const int result = collation != static_cast<locale_t>(nullptr)
                           ? strcoll_l(first, second, collation)
                           : std::strcmp(first, second);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

std::string CollationSortKeyA(LPCSTR text) {
    if (text == nullptr) {
        return std::string();
    }
    const locale_t collation = CollationOfThisThread();
    if (collation == static_cast<locale_t>(nullptr)) {
        return std::string(text);
    }
    // Keys of UTF-8 collations run to several bytes per character and level; a buffer of eight
    // bytes per character mostly needs one transformation, and the key keeps only its length.
    std::string key(std::strlen(text) * 8 + 32, '\0');
    std::size_t length = strxfrm_l(key.data(), text, key.size(), collation);
    if (length >= key.size()) {
        key.assign(length + 1, '\0');
        length = strxfrm_l(key.data(), text, key.size(), collation);
    }
    return std::string(key.data(), length);
}
