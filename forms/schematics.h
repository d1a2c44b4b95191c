#pragma once
// The result windows' pictures: the schematic of each sign case
// (Schematic2 to Schematic5) and the three feedback pictures.
#include "forms/pictures.h"

// id: one of Schematic2 ... Schematic5, FeedbackRf, FeedbackRfLf, FeedbackRfCf.
const PictureSpec& ResultPicture(PictureId id);
