// The tray's logic over a fake network, a fake platform that records what
// the tray starts and tells, and configurations with locations in the
// in-memory registry: detection to run to settled, the question and the
// tie, pause, one run at a time, the notifications' texts, the menu and
// the tooltip.

#include "app/StartWithWindows.h"
#include "app/TrayController.h"
#include "resource.h"
#include "state/StateSnapshot.h"
#include "store/ConfigurationSchema.h"
#include "support/FakeNetworkObserver.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace flipset {
namespace {

const std::string kConfigurations = "Software\\Quillon\\Flipset\\Configurations";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

// A text as the fake string table gives it: its id and its arguments.
std::string T(int id, const StringList& arguments = {})
{
    std::string text = "[" + std::to_string(id);
    for (const std::string& argument : arguments)
        text += "|" + argument;
    return text + "]";
}

class FakeTexts : public TrayTexts {
public:
    std::string Text(int id, const StringList& arguments) const override
    {
        return T(id, arguments);
    }
};

class FakeTrayPlatform : public TrayPlatform {
public:
    std::vector<std::string> started;  // configuration names, "/undo" for an undo
    std::vector<TrayNotification> notifications;
    std::string tip;
    bool refuseStart = false;
    std::function<void(const std::string&)> onStart;  // the run moves the machine

    bool StartRun(const std::string& configuration) override
    {
        if (refuseStart)
            return false;
        started.push_back(configuration);
        if (onStart)
            onStart(configuration);
        return true;
    }
    bool StartUndo() override
    {
        if (refuseStart)
            return false;
        started.push_back("/undo");
        return true;
    }
    void Notify(const TrayNotification& notification) override
    {
        notifications.push_back(notification);
    }
    void SetTip(const std::string& text) override { tip = text; }
    RunsSeen runs;  // what the tray sees of runs from elsewhere
    RunsSeen LookAtRuns(RegistryRoot) override { return runs; }
};

class TrayControllerTest : public ::testing::Test {
protected:
    TrayControllerTest()
    {
        Store(1, "Office", 1);
        Store(2, "Home", 2);
        Store(3, "Cafe", 3, kLocationAskFirst);
        observer.observation = ObservedPlace(0);
    }

    // Configuration n named name, at the place of the gateway byte.
    void Store(int n, const std::string& name, uint8_t gatewayByte,
               uint32_t mode = kLocationSwitch) const
    {
        const std::string key = kConfigurations + "\\" + std::to_string(n);
        registry.WriteString(key, "Name", name, kRoot);
        registry.WriteDword(key, ConfigurationValue::kLocationMode, mode, kRoot);
        registry.WriteString(key, ConfigurationValue::kLocationGateway,
                             "02-00-00-00-00-0" + std::to_string(gatewayByte), kRoot);
    }

    void Poll(int n = 1) { Poll(tray, n); }
    void Poll(TrayController& polled, int n)
    {
        for (int i = 0; i < n; ++i) {
            now += std::chrono::seconds(2);
            polled.Poll(now);
        }
    }
    void MoveTo(uint8_t gatewayByte) { observer.observation = ObservedPlace(gatewayByte); }
    void EndRun(ExitCode code) { tray.RunEnded(static_cast<int>(code), now); }
    std::string LastNotification() const
    {
        return platform.notifications.empty() ? std::string() : platform.notifications.back().text;
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeNetworkObserver observer;
    FakeTrayPlatform platform;
    FakeTexts texts;
    TrayController tray{registry, observer, platform, texts};
    LocationTime now{0};
};

TEST_F(TrayControllerTest, EnteringALocationRunsItsConfigurationOnceAndSaysSoWhenItEnds)
{
    Poll(2);
    MoveTo(1);
    Poll();
    EXPECT_TRUE(platform.started.empty()) << "one poll is not yet an entry";
    Poll();
    ASSERT_EQ(platform.started, std::vector<std::string>{"Office"});
    EXPECT_TRUE(tray.IsRunning());

    const int observed = observer.observeCalls;
    Poll(3);
    EXPECT_EQ(observer.observeCalls, observed) << "nothing is read while the run is in progress";
    EndRun(ExitCode::Done);
    EXPECT_EQ(LastNotification(),
              T(IDS_TRAY_RAN_FOR_LOCATION, {"Office", T(IDS_TRAY_RESULT_DONE, {"0"})}));
    EXPECT_FALSE(tray.IsRunning());

    Poll(5);
    EXPECT_EQ(platform.started.size(), 1u) << "staying runs nothing";
    MoveTo(2);
    Poll(2);
    MoveTo(1);
    Poll(2);
    EXPECT_EQ(platform.started, (std::vector<std::string>{"Office", "Home"}))
        << "Home's run is still in progress when the machine is back at the office";
    EndRun(ExitCode::Done);
    Poll(2);
    MoveTo(0);
    Poll(2);
    MoveTo(1);
    Poll(2);
    EXPECT_EQ(platform.started, (std::vector<std::string>{"Office", "Home", "Office"}))
        << "leaving and coming back runs it again";
}

// What the run left is read when its process has ended: a run that moves
// the machine to another configuration's location never starts that one.
TEST_F(TrayControllerTest, ARunsOwnChangesNeverStartAnotherRun)
{
    platform.onStart = [&](const std::string& configuration) {
        MoveTo(configuration == "Office" ? 2 : 1);
    };
    MoveTo(1);
    Poll(2);
    ASSERT_EQ(platform.started, std::vector<std::string>{"Office"});
    EndRun(ExitCode::Done);
    Poll(10);
    EXPECT_EQ(platform.started, std::vector<std::string>{"Office"});

    tray.RunByHand("Home");
    EndRun(ExitCode::Done);
    Poll(10);
    EXPECT_EQ(platform.started, (std::vector<std::string>{"Office", "Home"}));
    EXPECT_EQ(LastNotification(),
              T(IDS_TRAY_RAN_BY_HAND, {"Home", T(IDS_TRAY_RESULT_DONE, {"0"})}));
}

// A run from the main window or "/apply" in a process of its own: one the
// polls find holding the run turn, and one that came and went between two
// polls and left only its undo record. Either moves the machine to Home's
// location; neither may start Home, and a move from outside afterwards
// still runs.
TEST_F(TrayControllerTest, ARunFromElsewhereIsWaitedForAndItsChangesStartNothing)
{
    struct Case {
        const char* what;
        int pollsHoldingTheTurn;
    };
    const Case cases[] = {{"holds the turn over polls", 3}, {"between two polls", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeNetworkObserver observer;
        FakeTrayPlatform platform;
        TrayController tray{registry, observer, platform, texts};
        observer.observation = ObservedPlace(1);
        Poll(tray, 2);
        ASSERT_EQ(platform.started, std::vector<std::string>{"Office"});
        tray.RunEnded(static_cast<int>(ExitCode::Done), now);
        Poll(tray, 2);

        observer.observation = ObservedPlace(2);
        platform.runs.recordMark += 1;
        platform.runs.inProgress = c.pollsHoldingTheTurn > 0;
        const int observed = observer.observeCalls;
        Poll(tray, c.pollsHoldingTheTurn);
        EXPECT_EQ(observer.observeCalls, observed) << "nothing is read while it holds the turn";
        platform.runs.inProgress = false;
        Poll(tray, 4);
        EXPECT_EQ(platform.started, std::vector<std::string>{"Office"});
        EXPECT_FALSE(tray.IsRunning());
        tray.RunByHand("Home");
        ASSERT_EQ(platform.started.size(), 2u) << "the run from elsewhere is over";
        tray.RunEnded(static_cast<int>(ExitCode::Done), now);
        // The tray's own run writes the record too: no run from elsewhere.
        platform.runs.recordMark += 1;
        Poll(tray, 2);

        observer.observation = ObservedPlace(1);
        Poll(tray, 2);
        EXPECT_EQ(platform.started, (std::vector<std::string>{"Office", "Home", "Office"}))
            << "a move from outside still runs";
    }
}

TEST_F(TrayControllerTest, EachPollReadsOnlyWhatTheLocationsLookAt)
{
    Poll();
    EXPECT_EQ(observer.lastNeeds, (ObservationNeeds{false, true, false}));
    for (int n = 1; n <= 3; ++n)
        registry.WriteDword(kConfigurations + "\\" + std::to_string(n),
                            ConfigurationValue::kLocationMode, kLocationOff, kRoot);
    Poll(kLocationRereadPolls);
    EXPECT_EQ(observer.lastNeeds, (ObservationNeeds{false, false, false}))
        << "no location can hold: nothing is read";
}

TEST_F(TrayControllerTest, EachResultIsNamedAndAnAutomaticRunWithErrorsSaysHowToUndoIt)
{
    struct Case {
        ExitCode code;
        int byHand;
        int automatic;
    };
    const Case cases[] = {
        {ExitCode::Done, IDS_TRAY_RESULT_DONE, IDS_TRAY_RESULT_DONE},
        {ExitCode::StepFailed, IDS_TRAY_RESULT_ERRORS, IDS_TRAY_RESULT_ERRORS_UNDO},
        {ExitCode::NoSuchConfiguration, IDS_TRAY_RESULT_NOT_FOUND, IDS_TRAY_RESULT_NOT_FOUND},
        {ExitCode::NeedsRights, IDS_TRAY_RESULT_NO_RIGHTS, IDS_TRAY_RESULT_NO_RIGHTS},
        {ExitCode::RunInProgress, IDS_TRAY_RESULT_BUSY, IDS_TRAY_RESULT_BUSY},
        {ExitCode::FileFailed, IDS_TRAY_RESULT_FAILED, IDS_TRAY_RESULT_FAILED},
    };
    for (const Case& c : cases) {
        const std::string code = std::to_string(static_cast<int>(c.code));
        tray.RunByHand("Home");
        tray.RunEnded(static_cast<int>(c.code), now);
        EXPECT_EQ(LastNotification(), T(IDS_TRAY_RAN_BY_HAND, {"Home", T(c.byHand, {code})}))
            << code;

        MoveTo(0);
        Poll(2);
        MoveTo(1);
        Poll(2);
        ASSERT_EQ(platform.started.back(), "Office") << code;
        tray.RunEnded(static_cast<int>(c.code), now);
        EXPECT_EQ(LastNotification(),
                  T(IDS_TRAY_RAN_FOR_LOCATION, {"Office", T(c.automatic, {code})}))
            << code;
    }

    tray.UndoLastRun();
    EXPECT_EQ(platform.started.back(), "/undo");
    EndRun(ExitCode::StepFailed);
    EXPECT_EQ(LastNotification(), T(IDS_TRAY_UNDONE, {T(IDS_TRAY_RESULT_ERRORS, {"2"})}));
}

TEST_F(TrayControllerTest, AskFirstRunsNothingUntilTheNotificationIsClicked)
{
    MoveTo(3);
    Poll(2);
    ASSERT_EQ(platform.notifications.size(), 1u);
    EXPECT_EQ(LastNotification(), T(IDS_TRAY_ASK, {"Cafe"}));
    EXPECT_TRUE(platform.notifications.back().asksToRun);
    Poll(5);
    EXPECT_TRUE(platform.started.empty());

    tray.NotificationClicked();
    EXPECT_EQ(platform.started, std::vector<std::string>{"Cafe"});
    EndRun(ExitCode::Done);
    tray.NotificationClicked();
    EXPECT_EQ(platform.started.size(), 1u) << "a question is answered once";

    // A question that went away, or whose location the machine has left,
    // runs nothing.
    MoveTo(0);
    Poll(2);
    MoveTo(3);
    Poll(2);
    tray.NotificationClosed();
    tray.NotificationClicked();
    MoveTo(0);
    Poll(2);
    MoveTo(3);
    Poll(2);
    MoveTo(1);
    Poll(1);
    MoveTo(0);
    Poll(2);
    tray.NotificationClicked();
    EXPECT_EQ(platform.started.size(), 1u);
}

TEST_F(TrayControllerTest, ATieRunsNothingAndNamesThem)
{
    Store(4, "Office too", 1);
    MoveTo(1);
    Poll(2);
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(LastNotification(), T(IDS_TRAY_TIE, {"Office, Office too"}));
    EXPECT_FALSE(platform.notifications.back().asksToRun);
}

TEST_F(TrayControllerTest, PausedItRunsAndAsksNothingAndResumingIsNoMove)
{
    Poll();
    tray.SetPaused(true);
    EXPECT_EQ(platform.tip, T(IDS_TRAY_TIP_PAUSED, {T(IDS_TRAY_NONE), T(IDS_TRAY_NONE)}));
    MoveTo(1);
    Poll(3);
    MoveTo(3);
    Poll(3);
    tray.SetPaused(false);
    Poll(3);
    EXPECT_TRUE(platform.started.empty());
    EXPECT_TRUE(platform.notifications.empty());
    MoveTo(2);
    Poll(2);
    EXPECT_EQ(platform.started, std::vector<std::string>{"Home"});
}

TEST_F(TrayControllerTest, WhileARunIsInProgressNoOtherStartsAndTheMenuOffersNone)
{
    MoveTo(1);
    Poll(2);
    ASSERT_EQ(platform.started.size(), 1u);
    tray.RunByHand("Home");
    tray.UndoLastRun();
    EXPECT_EQ(platform.started.size(), 1u);
    EXPECT_EQ(LastNotification(), T(IDS_TRAY_BUSY));
    const TrayMenu busy = tray.Menu(std::less<std::string>(), false);
    for (const TrayMenuEntry& entry : busy.runs)
        EXPECT_FALSE(entry.enabled) << entry.text;
    EXPECT_FALSE(busy.actions[0].enabled) << "the undo";

    EndRun(ExitCode::Done);
    tray.RunByHand("Home");
    EXPECT_EQ(platform.started.back(), "Home");
}

TEST_F(TrayControllerTest, ARunThatCannotStartIsReportedAndBlocksNothing)
{
    platform.refuseStart = true;
    MoveTo(1);
    Poll(2);
    EXPECT_EQ(LastNotification(),
              T(IDS_TRAY_RAN_FOR_LOCATION, {"Office", T(IDS_TRAY_RESULT_NOT_STARTED)}));
    EXPECT_FALSE(tray.IsRunning());
    tray.RunByHand("Home");
    EXPECT_EQ(LastNotification(),
              T(IDS_TRAY_RAN_BY_HAND, {"Home", T(IDS_TRAY_RESULT_NOT_STARTED)}));
    platform.refuseStart = false;
    tray.RunByHand("Home");
    EXPECT_EQ(platform.started, std::vector<std::string>{"Home"});
}

// The locations are read again every few polls: a location added while
// the tray runs counts from then on.
TEST_F(TrayControllerTest, ALocationAddedWhileResidentCountsAfterTheNextReading)
{
    Poll();
    Store(5, "Lab", 5);
    Poll(kLocationRereadPolls);
    MoveTo(0);
    Poll(2);
    MoveTo(5);
    Poll(2);
    EXPECT_EQ(platform.started, std::vector<std::string>{"Lab"});
}

TEST_F(TrayControllerTest, TheMenuListsEveryConfigurationInOrderWithItsPreviewAndTheActions)
{
    tray.SetPaused(true);
    TrayMenu menu = tray.Menu(std::less<std::string>(), true);
    std::vector<std::string> runs, previews, actions;
    for (const TrayMenuEntry& entry : menu.runs)
        runs.push_back(entry.configuration + "=" + entry.text);
    for (const TrayMenuEntry& entry : menu.previews)
        previews.push_back(entry.configuration + "=" + entry.text);
    for (const TrayMenuEntry& entry : menu.actions)
        actions.push_back(entry.text + (entry.checked ? " (checked)" : "") +
                          (entry.enabled ? "" : " (greyed)"));
    EXPECT_EQ(runs, (std::vector<std::string>{"Cafe=Cafe", "Home=Home", "Office=Office"}));
    EXPECT_EQ(previews,
              (std::vector<std::string>{"Cafe=" + T(IDS_TRAY_PREVIEW_ENTRY, {"Cafe"}),
                                        "Home=" + T(IDS_TRAY_PREVIEW_ENTRY, {"Home"}),
                                        "Office=" + T(IDS_TRAY_PREVIEW_ENTRY, {"Office"})}));
    EXPECT_EQ(menu.previewTitle, T(IDS_TRAY_PREVIEW_MENU));
    EXPECT_EQ(actions, (std::vector<std::string>{
                           T(IDS_UNDO_UNAVAILABLE, {"no run has stored a snapshot"}) + " (greyed)",
                           T(IDS_TRAY_OPEN), T(IDS_TRAY_PAUSE) + " (checked)",
                           T(IDS_TRAY_START_WITH_WINDOWS) + " (checked)", T(IDS_TRAY_EXIT)}));

    RunSnapshot snapshot;
    snapshot.configurationName = "Home";
    snapshot.time = "2026-12-11 08:00:00";
    ASSERT_TRUE(StoreLastRunSnapshot(registry, kRoot, snapshot));
    menu = tray.Menu(std::less<std::string>(), false);
    EXPECT_EQ(menu.actions[0].text, T(IDS_UNDO_ENTRY, {"Home, 2026-12-11 08:00:00"}));
    EXPECT_TRUE(menu.actions[0].enabled);
    EXPECT_FALSE(menu.actions[3].checked);

    MemoryRegistryBackend emptyBackend;
    TrayController empty{CRegistry(emptyBackend), observer, platform, texts};
    menu = empty.Menu(std::less<std::string>(), false);
    ASSERT_EQ(menu.runs.size(), 1u);
    EXPECT_EQ(menu.runs[0].text, T(IDS_TRAY_NO_CONFIGURATIONS));
    EXPECT_FALSE(menu.runs[0].enabled);
    EXPECT_TRUE(menu.previews.empty());
}

TEST_F(TrayControllerTest, TheTipNamesTheLocationAndTheLastRun)
{
    MoveTo(1);
    Poll(2);
    RunSnapshot snapshot;
    snapshot.configurationName = "Office";
    snapshot.time = "2026-12-11 08:00:00";
    ASSERT_TRUE(StoreLastRunSnapshot(registry, kRoot, snapshot));
    EndRun(ExitCode::Done);
    EXPECT_EQ(platform.tip, T(IDS_TRAY_TIP, {"Office", "Office, 2026-12-11 08:00:00"}));
}

TEST(StartWithWindows, WritesTheQuotedProgramWithTrayAndRemovesIt)
{
    MemoryRegistryBackend backend;
    const CRegistry registry(backend);
    const std::string program = "C:\\Program Files\\Flipset\\flipset.exe";
    EXPECT_FALSE(StartsWithWindows(registry));
    EXPECT_TRUE(SetStartWithWindows(registry, false, program)) << "nothing to remove is no fault";
    ASSERT_TRUE(SetStartWithWindows(registry, true, program));
    EXPECT_TRUE(StartsWithWindows(registry));
    EXPECT_EQ(registry.ReadString("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Flipset",
                                  "", RegistryRoot::CurrentUser),
              "\"C:\\Program Files\\Flipset\\flipset.exe\" /tray");
    ASSERT_TRUE(SetStartWithWindows(registry, false, program));
    EXPECT_FALSE(StartsWithWindows(registry));
}

}  // namespace
}  // namespace flipset
