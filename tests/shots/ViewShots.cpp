// Writes what the view shows after each fractal command as PNG files into the folder named by
// VELORINE_SHOTS, for looking at (scripts/view-shots.sh).

#include "tests/view/ViewFixture.h"

#include <QDir>

namespace {

using ViewShots = ViewFixture;

TEST_F(ViewShots, EachFractalAsShown)
{
    const QString dir = qEnvironmentVariable("VELORINE_SHOTS");
    ASSERT_FALSE(dir.isEmpty()) << "VELORINE_SHOTS names no folder";
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
