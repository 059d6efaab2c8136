#include "support/FakeInterfaceConfigurator.h"

#include "support/FakePlatform.h"

namespace flipset {

InterfaceConfigurator& NoLiveAdapters()
{
    static FakeInterfaceConfigurator none;
    return none;
}

}  // namespace flipset
