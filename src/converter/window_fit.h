#pragma once

// How the converter window fits the screen: plain arithmetic on pixel sizes.

// The rows of tabs to show at most, so that a window that is heightWithOneRow tall with one row
// and rowHeight taller for each further row stays within available; at least one.
int tabRowsThatFit(int heightWithOneRow, int rowHeight, int available);

// Where a window of the given length starts along one axis so that all of it lies within the
// area, moving it as little as possible; a window longer than the area starts with the area.
int startWithin(int start, int length, int areaStart, int areaLength);

// A length the user chose, kept between the minimum and what the screen offers; the minimum wins
// on a screen too small for it.
int lengthWithin(int wanted, int minimum, int available);
