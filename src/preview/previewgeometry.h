// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the preview control: the page image's size at a zoom,
// the fitted zooms, the image's place in the control and the hit-test
// mapping back to zoom 100. Roundings go to the nearest integer, halves to
// the even neighbour.

constexpr int MinZoom = 2;
constexpr int MaxZoom = 2000;
// The page size used when no document is attached (Letter, in mm, taken as
// pixels at zoom 100).
constexpr long double DefaultPaperWidth = 215.9L;
constexpr long double DefaultPaperLength = 279.4L;
// Room for the frame and the drop shadow around the page.
constexpr int PageShadowExtra = 4;

// Image extent in pixels: Length (0.1 mm, or mm without a document) at Zoom
// percent, converted with Factor pixels per unit, plus the shadow room.
int ImageExtent(long double Length, int Zoom, long double Factor);

// The zoom that makes PageExtent (pixels at zoom 100) fill Percent of
// ControlExtent; 0 when the page has no extent.
int FittedZoom(int ControlExtent, long double PageExtent, int Percent);

// Left (or top) of the image: centred while it is smaller than the control.
int CentredOffset(int ControlExtent, int ImageExtent);

// A coordinate of the image at Zoom mapped to the page at zoom 100.
int UnzoomedCoordinate(int Value, int Zoom);

// Ctrl+wheel: proportional to the wheel's travel (120 units a notch), at
// least one percent per event, kept within MinZoom..MaxZoom.
int WheelZoom(int Zoom, int AngleDelta);
