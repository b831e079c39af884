#pragma once
// The toolbar buttons' pictures, painted from code so they are the same on every build.

#include <QIcon>
#include <QImage>
#include <QSize>

// 16 x 15 pixels.
QSize ToolBarPictureSize();
// The picture of command nID's button; a null image for a command without one.
QImage PaintToolBarPicture(int nID);
QIcon ToolBarPicture(int nID);
