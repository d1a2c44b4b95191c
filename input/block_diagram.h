#pragma once
// The input window's block diagram of the amplifier.
#include "ui/pictures.h"

const PictureSpec& BlockDiagramPicture();
