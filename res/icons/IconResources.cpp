// Makes sure the icons' Qt resources are registered before the first icon is loaded, whichever
// way the linker arranged the static libraries.

#include <QtCore/qglobal.h>
#include <QtCore/qresource.h>

void ordvaneInitIconResources() {
    Q_INIT_RESOURCE(ordvane_icons);
}
