#pragma once

#include <array>

#include "app/UiModel.h"

// Outer size of a child window = its client area plus the frame and caption the window system
// adds. The view reports the real outer size back once the window is on screen.
inline constexpr int kFrameWidthTwips = 90;
inline constexpr int kFrameHeightTwips = 405;

// The child windows of the main window and the controls on them that the console reads or
// writes. Sizes are outer sizes in twips.
struct Windows {
  // The main window's own outer size; the view keeps it current.
  int mainWidth = 9120 + kFrameWidthTwips;
  int mainHeight = 7785 + kFrameHeightTwips;

  ChildWindow frmData{"frmData", "Data", 6330 + kFrameWidthTwips, 3645 + kFrameHeightTwips};
  ChildWindow frmStat{"frmStat", "Stability", 6150 + kFrameWidthTwips, 3795 + kFrameHeightTwips};
  ChildWindow frmFrequency{"frmFrequency", "DUT Frequency", 2775 + kFrameWidthTwips,
                           570 + kFrameHeightTwips};
  ChildWindow frmTau{"frmTau", "Tau select", 2775 + kFrameWidthTwips, 615 + kFrameHeightTwips};
  ChildWindow frmFormat{"frmFormat", "Nominal DUT", 2775 + kFrameWidthTwips,
                        570 + kFrameHeightTwips};
  ChildWindow frmScale{"frmScale", "Graphics Scales", 2775 + kFrameWidthTwips,
                       3045 + kFrameHeightTwips};
  ChildWindow frmTitle{"frmTitle", "Graphics Title", 2775 + kFrameWidthTwips,
                       1830 + kFrameHeightTwips};
  ChildWindow frmOrlak{"frmOrlak", "TESSARIN / RS Ver 2.0", 2835 + kFrameWidthTwips,
                       450 + kFrameHeightTwips};

  // frmFrequency
  TextBox txtFreq;
  TextBox txtFprog;
  // frmFormat
  TextBox txtFormat;
  // frmTau
  ListBox List1{{"1", "2", "3", "5", "10", "20", "30", "50", "100", "200", "300"}};
  // frmScale: Sample-min, Sample-max, Delta F-min, Delta F-max, Tau-min, Tau-max, SigmaY-min,
  // SigmaY-max
  std::array<TextBox, 8> txtScale;
  // frmTitle, which lives only while it is open
  bool titleLoaded = false;
  TextBox txtTitle1;
  TextBox txtTitle2;
};
