#pragma once

/// Places on paper in millimetres, from the top left corner of the sheet.
struct TPaperRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

/// A4, as it lies in the printer.
inline constexpr double A4ShortSide = 210;
inline constexpr double A4LongSide = 297;
/// Kept free on every side: most printers cannot print closer to the edge.
inline constexpr double PaperMargin = 10;
/// Sums of widths carry the arithmetic's noise: a width within this of the room fits.
inline constexpr double WidthSlack = 1e-9;
