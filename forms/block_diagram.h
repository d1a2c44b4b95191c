#pragma once
// The input window's block diagram of the amplifier.
#include "forms/pictures.h"

const PictureSpec& BlockDiagramPicture();
