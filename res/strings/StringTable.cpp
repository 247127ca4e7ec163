// The string table of the program.

#include "platform/framework/DialogTemplate.h"
#include "res/ids/Resource.h"

namespace {

struct StringResource {
    UINT id;
    const char* text;
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, "&About..."},
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
