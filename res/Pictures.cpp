#include "res/Resources.h"

#include <QIcon>
#include <QString>
#include <QtGlobal>

// Outside any namespace: the registration function the resource compiler made lives there.
static void RegisterPictures()
{
    Q_INIT_RESOURCE(velorine);
}

void InitResourcePictures()
{
    static const bool done = (RegisterPictures(), true);
    (void)done;
}

QIcon ProgramIcon()
{
    InitResourcePictures();
    QIcon icon;
    for (const char *name : {"velorine-16.png", "velorine-32.png", "velorine-48.png",
                             "velorine-64.png", "velorine-128.png", "velorine.png"})
        icon.addFile(QStringLiteral(":/icons/") + QLatin1String(name));
    return icon;
}
