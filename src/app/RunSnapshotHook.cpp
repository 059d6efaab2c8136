#include "app/RunSnapshotHook.h"

#include "engine/RunContext.h"
#include "engine/SystemInfo.h"
#include "state/StateRestore.h"

namespace flipset {

StatePlatform StatePlatformOf(CRegistry registry, const RunPlatform& platform)
{
    InterfaceConfigurator* interfaces =
        TcpipBackendFor(platform.system) == TcpipBackend::Netsh ? &platform.interfaces : nullptr;
    return StatePlatform{registry,          platform.files,    platform.desktop,
                         platform.services, platform.internet, interfaces};
}

void TakeSnapshotBeforeChanges(RunSequence& sequence, CRegistry registry,
                               const RunPlatform& platform,
                               std::function<void(const std::string&)> problem)
{
    sequence.SetBeforeChanges([registry, &platform, problem](RunContext& ctx) {
        std::string reason;
        if (!TakeRunSnapshot(ctx, StatePlatformOf(registry, platform), platform.system,
                             CurrentTimeText(), reason) &&
            problem)
            problem(reason);
    });
}

}  // namespace flipset
