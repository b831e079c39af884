// Writes what the view shows after each fractal command as PNG files into the folder named by
// VELORINE_SHOTS, for looking at; skipped when it is not set.

#include "tests/view/ViewFixture.h"

#include <QDir>

namespace {

using ScreenshotTest = ViewFixture;

TEST_F(ScreenshotTest, EachFractalAsShown)
{
    const QString dir = qEnvironmentVariable("VELORINE_SHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "VELORINE_SHOTS is not set";
    QDir().mkpath(dir);
    m_providers.messages().answers = {IDOK};
    const std::pair<int, const char *> shots[] = {
        {ID_MANDELBROT, "mandelbrot"},
        {ID_JULIA, "julia"},
        {ID_MARTIN, "martin"},
        {ID_MIRA, "mira"},
        {ID_WALLPAPER, "wallpaper"},
        {ID_DLA, "dla"},
        {ID_LEAF, "leaf"},
    };
    for (const auto &[nID, name] : shots) {
        ASSERT_TRUE(Route(nID));
        m_pView->UpdateWindow();
        EXPECT_TRUE(Grab().save(dir + "/view-" + name + ".png"));
    }
}

} // namespace
