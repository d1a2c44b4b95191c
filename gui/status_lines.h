#pragma once
// Lines the windows show beside their specified layout: under each result
// window the design's gain and its stability across the transistor file;
// on the input window's fields, a text read as only its numeric prefix.
void RegisterStatusLines();
