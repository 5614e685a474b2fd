#include "ui/resource_names.h"

#include <QtGlobal>

// The resources are compiled into the static ui library, whose registration
// the linker would drop unless something refers to it.
static void RegisterVelmoraResources() {
#ifdef VELMORA_HAVE_RESOURCES
    Q_INIT_RESOURCE(resources);
#endif
}

namespace velmora {

void InitResources() {
    static const bool done = (RegisterVelmoraResources(), true);
    (void)done;
}

}  // namespace velmora
