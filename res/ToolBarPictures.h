#pragma once
// The toolbar buttons' pictures, painted from code so they are the same on every build.

#include <QIcon>
#include <QImage>
#include <QSize>

// 16 x 15 pixels, in the toolbar's logical pixels.
QSize ToolBarPictureSize();
// The picture of command nID's button painted at nScale (1 to 3) device pixels a logical pixel:
// ToolBarPictureSize() times nScale, with that device-pixel ratio. A null image for a command
// without one or a scale out of range.
QImage PaintToolBarPicture(int nID, int nScale = 1);
// The 1x, 2x and 3x pictures in one icon, so a high-density screen is given pixels painted for
// it rather than smoothed ones.
QIcon ToolBarPicture(int nID);
