// Pictures of the three parameter dialogs as they open; saved for a look when
// VELORINE_SHOTS_DIR names a folder.

#include "dialogs/CJuliaDlg.h"
#include "dialogs/CMartinDlg.h"
#include "dialogs/CMiraDlg.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QDir>
#include <QImage>
#include <QPixmap>

namespace {

class DialogPictures : public AppFixture
{
protected:
    void Shoot(CDialog &dlg, const char *name)
    {
        ASSERT_TRUE(dlg.Create());
        const QImage image = dlg.grab().toImage();
        ASSERT_EQ(image.size(), dlg.size());
        // Something besides the background was drawn in every band of rows.
        const QRgb background = image.pixel(1, 1);
        int bandsWithInk = 0;
        const int bands = 8;
        for (int b = 0; b < bands; ++b) {
            bool bInk = false;
            for (int y = b * image.height() / bands; y < (b + 1) * image.height() / bands && !bInk;
                 ++y)
                for (int x = 0; x < image.width() && !bInk; ++x)
                    bInk = image.pixel(x, y) != background;
            bandsWithInk += bInk;
        }
        EXPECT_GE(bandsWithInk, bands / 2) << name;
        if (const char *dir = std::getenv("VELORINE_SHOTS_DIR")) {
            QDir().mkpath(dir);
            image.save(QDir(dir).filePath(QString::fromLatin1(name) + ".png"));
        }
    }
};

TEST_F(DialogPictures, JuliaMartinAndMira)
{
    CJuliaDlg julia;
    Shoot(julia, "dialog-julia");
    CMartinDlg martin;
    Shoot(martin, "dialog-martin");
    CMiraDlg mira;
    Shoot(mira, "dialog-mira");
}

} // namespace
