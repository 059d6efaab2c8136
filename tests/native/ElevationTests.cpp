// Which actions need administrator rights, and what a verb does without
// them, for a token that says elevated or not.
#include "app/CommandVerbs.h"
#include "app/Elevation.h"
#include "support/FakeElevation.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

constexpr RegistryRoot kShared = RegistryRoot::LocalMachine;
constexpr RegistryRoot kPerUser = RegistryRoot::CurrentUser;

TEST(Elevation, ActionsLackRightsOnlyOnTenAndLaterWithoutElevation)
{
    struct Case {
        uint32_t majorVersion;
        bool elevated;
        Writes writes;
        RegistryRoot root;
        bool lacks;
    };
    const Case cases[] = {
        // Earlier systems try every action as before, whatever the token.
        {5, false, Writes::Machine, kShared, false},
        {6, false, Writes::Machine, kShared, false},
        {6, false, Writes::Configurations, kShared, false},
        {10, true, Writes::Machine, kShared, false},
        {10, true, Writes::Configurations, kShared, false},
        {10, false, Writes::Machine, kShared, true},
        {10, false, Writes::Machine, kPerUser, true},
        {10, false, Writes::Configurations, kShared, true},
        // A user's own configurations need no rights.
        {10, false, Writes::Configurations, kPerUser, false},
        {11, false, Writes::Configurations, kShared, true},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.majorVersion = c.majorVersion;
        const FakeElevation elevation(c.elevated);
        EXPECT_EQ(LacksAdministratorRights(system, elevation), c.majorVersion >= 10 && !c.elevated)
            << c.majorVersion << " elevated " << c.elevated;
        EXPECT_EQ(LacksRightsFor(c.writes, c.root, system, elevation), c.lacks)
            << c.majorVersion << " elevated " << c.elevated << " writes "
            << static_cast<int>(c.writes) << " root " << static_cast<int>(c.root);
    }
}

TEST(Elevation, AVerbWithoutRightsRestartsElevatedOrWithQuietRefuses)
{
    struct Case {
        const char* arguments;
        RegistryRoot root;
        VerbRights expected;
    };
    const Case cases[] = {
        {"/apply Home", kShared, VerbRights::RestartElevated},
        {"/apply Home", kPerUser, VerbRights::RestartElevated},
        {"/apply Home /quiet", kPerUser, VerbRights::Refuse},
        {"/undo", kPerUser, VerbRights::RestartElevated},
        {"/undo /quiet", kShared, VerbRights::Refuse},
        {"/import a.json", kShared, VerbRights::RestartElevated},
        {"/import a.json /replace /quiet", kShared, VerbRights::Refuse},
        {"/import a.json", kPerUser, VerbRights::Proceed},
        {"/capture New", kShared, VerbRights::RestartElevated},
        {"/capture New /quiet", kShared, VerbRights::Refuse},
        {"/capture New", kPerUser, VerbRights::Proceed},
        // The verbs that only read never need rights.
        {"/list", kShared, VerbRights::Proceed},
        {"/preview Home", kShared, VerbRights::Proceed},
        {"/export a.json", kShared, VerbRights::Proceed},
        {"/help", kShared, VerbRights::Proceed},
        {"/where", kShared, VerbRights::Proceed},
        // A copy started elevated that still lacks the rights starts no
        // third one.
        {"/apply Home /elevatedoutput C:\\out.txt", kShared, VerbRights::Refuse},
        {"/capture New /elevatedoutput C:\\out.txt", kShared, VerbRights::Refuse},
    };
    FakeSystem system;
    system.majorVersion = 10;
    const FakeElevation notElevated(false);
    const FakeElevation elevated(true);
    for (const Case& c : cases) {
        const VerbCommand command = ParseVerbCommand(std::string("f.exe ") + c.arguments);
        ASSERT_EQ(command.usageError, "") << c.arguments;
        EXPECT_EQ(DecideVerbRights(command, c.root, system, notElevated), c.expected)
            << c.arguments;
        EXPECT_EQ(DecideVerbRights(command, c.root, system, elevated), VerbRights::Proceed)
            << c.arguments;
    }
    system.majorVersion = 6;
    EXPECT_EQ(DecideVerbRights(ParseVerbCommand("f.exe /apply Home /quiet"), kShared, system,
                               notElevated),
              VerbRights::Proceed)
        << "tried as before";
}

}  // namespace
}  // namespace flipset
