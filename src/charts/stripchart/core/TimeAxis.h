#pragma once
// Binary searches over the non-decreasing time index list: the visible range
// and the index nearest a time.
#include "charts/stripchart/core/ChartLists.h"

// -1 for an empty list or one that ends left of xMin; else the index of a value
// equal to xMin, or the last one left of it (0 when all lie right of it), so a
// drawn line starts at the point just left of the window. The search starts at
// hint (the previous answer), so a window moving by a few points costs a few steps.
int FirstVisibleIndexFor(const TDoubleList& times, double xMin, int hint = -1);

// -1 for an empty list or one that starts right of xMax; else the index of a value
// equal to xMax, or the first one right of it (the last index when none is).
int LastVisibleIndexFor(const TDoubleList& times, double xMax, int hint = -1);

// 0 for an empty list or a time left of the first; the last index for a time right
// of the last; else the index of an equal value or of the first one above.
int FindTimeIndexFor(const TDoubleList& times, double x);
