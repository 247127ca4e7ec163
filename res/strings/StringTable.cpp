// The string table of the program.

#include "platform/framework/DialogTemplate.h"
#include "res/ids/Resource.h"

// Marks a text for the translation catalogues; AfxLoadString looks it up in the user's language.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace {

struct StringResource {
    UINT id;
    const char* text;
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, QT_TRANSLATE_NOOP("StringTable", "&About...")},
};

}  // namespace

const char* FindStringResource(UINT id) {
    for (const StringResource& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}
