// The single-instance marker: atomic, per name, and gone when its holder dies in any way.

#include "platform/widgets/SingleInstance.h"
#include "tests/common/WidgetTestAccess.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Result = CSingleInstance::Result;

TEST(SingleInstanceTest, SecondMarkerOfTheSameNameIsRefusedUntilTheFirstGoes)
{
    auto first = std::make_unique<CSingleInstance>();
    EXPECT_EQ(first->Create(), Result::Created);
    EXPECT_EQ(first->Create(), Result::Created); // holding it already
    CSingleInstance second;
    EXPECT_EQ(second.Create(), Result::AlreadyRunning);
    EXPECT_FALSE(TestAccess<CSingleInstance>::IsHeld(second));
    first.reset();
    EXPECT_EQ(second.Create(), Result::Created);
}

TEST(SingleInstanceTest, NameComesFromTheEnvironmentAndCarriesTheUser)
{
    const std::string name = CSingleInstance::MarkerName();
    EXPECT_EQ(name.rfind(std::getenv("VELORINE_INSTANCE_NAME"), 0), 0u);
    EXPECT_NE(name.find(std::to_string(getuid())), std::string::npos);
    CSingleInstance held;
    ASSERT_EQ(held.Create(), Result::Created);
    const std::string saved = std::getenv("VELORINE_INSTANCE_NAME");
    setenv("VELORINE_INSTANCE_NAME", (saved + "-other").c_str(), 1);
    CSingleInstance other;
    EXPECT_EQ(other.Create(), Result::Created);
    setenv("VELORINE_INSTANCE_NAME", saved.c_str(), 1);
}

TEST(SingleInstanceTest, MarkerOfAKilledProcessIsGone)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CSingleInstance marker;
        const char ok = marker.Create() == Result::Created ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, 'y');
    {
        CSingleInstance refused;
        EXPECT_EQ(refused.Create(), Result::AlreadyRunning);
    }
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    CSingleInstance after;
    EXPECT_EQ(after.Create(), Result::Created);
}

} // namespace
