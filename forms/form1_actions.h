#pragma once
// The input window's own actions: the three feedback options' visibility
// changes and the test-values command. They parse nothing and cannot fail.

// option: 1, 2 or 3 (Option1 "Yf -> Rf", Option2 "Yf -> Rf // Lf", Option3 "Yf -> Rf // Cf").
void ApplyOptionVisibility(int option);
void WriteTestValues();
