#pragma once
// The program's fixed pictures, drawn once from their descriptions.
#include <QIcon>
#include <QPixmap>
#include <QSize>

#include "forms/controls.h"

// Logical size in pixels of a picture (the block diagram is 1235 x 365).
QSize PictureSize(PictureId id);
// The picture drawn at the given device pixel ratio (crisp at 2).
QPixmap RenderPicture(PictureId id, qreal devicePixelRatio);
// The target icon of all five windows: concentric red and yellow rings, 16 and 32 px (and larger).
QIcon AppIcon();
