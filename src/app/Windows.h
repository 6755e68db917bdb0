#pragma once

#include <array>

#include "app/UiModel.h"
#include "app/WindowGeometry.h"

namespace tessarin::app {

// The child windows of the main window and the controls on them that the console reads or
// writes. Sizes are outer sizes in twips; names and captions are QStringLiterals, built into the
// program rather than made anew for every console.
struct Windows {
  // The main window's own outer size; the view keeps it current.
  int mainWidth = 9120 + kFrameWidthTwips;
  int mainHeight = 7785 + kFrameHeightTwips;
  MainWindowState mainState;

  ChildWindow dataWindow{QStringLiteral("dataWindow"), QStringLiteral("Data"),
                         6330 + kFrameWidthTwips, 3645 + kFrameHeightTwips};
  ChildWindow stabilityWindow{QStringLiteral("stabilityWindow"), QStringLiteral("Stability"),
                              6150 + kFrameWidthTwips, 3795 + kFrameHeightTwips};
  ChildWindow dutFrequencyWindow{QStringLiteral("dutFrequencyWindow"),
                                 QStringLiteral("DUT Frequency"), 2775 + kFrameWidthTwips,
                                 570 + kFrameHeightTwips};
  ChildWindow tauWindow{QStringLiteral("tauWindow"), QStringLiteral("Tau select"),
                        2775 + kFrameWidthTwips, 615 + kFrameHeightTwips};
  ChildWindow nominalWindow{QStringLiteral("nominalWindow"), QStringLiteral("Nominal DUT"),
                            2775 + kFrameWidthTwips, 570 + kFrameHeightTwips};
  ChildWindow scalesWindow{QStringLiteral("scalesWindow"), QStringLiteral("Graphics Scales"),
                           2775 + kFrameWidthTwips, 3045 + kFrameHeightTwips};
  ChildWindow titleWindow{QStringLiteral("titleWindow"), QStringLiteral("Graphics Title"),
                          2775 + kFrameWidthTwips, 1830 + kFrameHeightTwips};
  ChildWindow aboutWindow{QStringLiteral("aboutWindow"), QStringLiteral("TESSARIN / RS Ver 2.0"),
                          2835 + kFrameWidthTwips, 450 + kFrameHeightTwips};

  // dutFrequencyWindow
  TextBox measuredFrequencyBox;
  TextBox programmedFrequencyBox;
  // nominalWindow
  TextBox nominalFrequencyBox;
  // tauWindow
  ListBox tauList{{"1", "2", "3", "5", "10", "20", "30", "50", "100", "200", "300"}};
  // scalesWindow: Sample-min, Sample-max, Delta F-min, Delta F-max, Tau-min, Tau-max, SigmaY-min,
  // SigmaY-max
  std::array<TextBox, 8> scaleBoxes;
  // titleWindow, whose boxes are filled afresh each time it opens
  bool titleWindowOpen = false;
  TextBox dataTitleBox;
  TextBox stabilityTitleBox;
  Button titleOkButton{"&Ok"};
  // aboutWindow: where the run's page is served and its token, while it is served
  TextBox servedPageBox;
};

}  // namespace tessarin::app
