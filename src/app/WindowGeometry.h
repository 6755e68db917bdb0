#pragma once

namespace tessarin::app {

// The window geometry of the console, in twips (1440 per logical inch), as the windows were laid
// out on the form designer's grid.

// Outer size of a child window = its client area plus the frame and caption the window system
// adds. The view reports the real outer size back once the window is on screen.
inline constexpr int kFrameWidthTwips = 90;
inline constexpr int kFrameHeightTwips = 405;

// A plot window is a little under half the main window high, so that the two plots stack with
// room for the menu bar.
inline constexpr double kMainHeightPerPlotWindow = 2.3;
// The plot windows' width at start-up, before the first layout follows the main window.
inline constexpr int kPlotWindowStartWidth = 6180;
// A plot fills its window but for the window's frame and caption.
inline constexpr int kPlotInsetWidth = 100;
inline constexpr int kPlotInsetHeight = 400;

// The column of tool windows keeps this far from the main window's right edge.
inline constexpr int kToolColumnRightMargin = 200;
// The Nominal DUT window sits below the DUT Frequency window, leaving room for the tau list.
inline constexpr int kNominalWindowDrop = 990;
// The Graphics Scales window sits below the Nominal DUT window.
inline constexpr int kScalesWindowDrop = kNominalWindowDrop + 945;
// The about window keeps this far above the main window's bottom edge (menu bar and status).
inline constexpr int kAboutWindowBottomMargin = 1080;

}  // namespace tessarin::app
