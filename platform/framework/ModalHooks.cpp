#include "platform/framework/ModalHooks.h"

namespace ordvane::framework {
namespace {

// Touched only on the user-interface thread, like every modal run.
ModalHooks* g_activeHooks = nullptr;

}  // namespace

ModalHooks* ActiveModalHooks() {
    return g_activeHooks;
}

ModalHooks* InstallModalHooks(ModalHooks* hooks) {
    ModalHooks* replaced = g_activeHooks;
    g_activeHooks = hooks;
    return replaced;
}

}  // namespace ordvane::framework
