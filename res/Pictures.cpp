#include "res/Resources.h"

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
