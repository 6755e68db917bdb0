#pragma once

#include <vector>

#include "app/UiModel.h"

namespace tessarin::app {

// The main window's menu bar, in menu-bar order. Captions are the console's own ("&" marks the
// access key; the blanks around the top-level captions belong to them). Names and captions are
// QStringLiterals, built into the program rather than made anew for every console.
struct Menus {
  MenuItem fileMenu{QStringLiteral("fileMenu"), QStringLiteral("   &File   ")};
  MenuItem saveFileAs{QStringLiteral("saveFileAs"), QStringLiteral("&Save File as")};
  MenuItem initialization{QStringLiteral("initialization"), QStringLiteral("&Initialization")};
  MenuItem fileSeparator1{QStringLiteral("fileSeparator1"), QStringLiteral("-")};
  MenuItem startStop{QStringLiteral("startStop"), QStringLiteral("S&tart")};
  MenuItem fileSeparator2{QStringLiteral("fileSeparator2"), QStringLiteral("-")};
  MenuItem quit{QStringLiteral("quit"), QStringLiteral("&Quit")};

  MenuItem portMenu{QStringLiteral("portMenu"), QStringLiteral(" &Port ")};
  MenuItem com1{QStringLiteral("com1"), QStringLiteral("Com &1")};
  MenuItem com2{QStringLiteral("com2"), QStringLiteral("Com &2")};
  MenuItem com3{QStringLiteral("com3"), QStringLiteral("Com &3")};
  MenuItem com4{QStringLiteral("com4"), QStringLiteral("Com &4")};

  MenuItem modeMenu{QStringLiteral("modeMenu"), QStringLiteral(" &Mode ")};
  MenuItem filtered{QStringLiteral("filtered"), QStringLiteral("&Filtered")};
  MenuItem nonFiltered{QStringLiteral("nonFiltered"), QStringLiteral("&Non-Filtered")};

  MenuItem storeMenu{QStringLiteral("storeMenu"), QStringLiteral(" S&tore ")};
  MenuItem frequencyData{QStringLiteral("frequencyData"), QStringLiteral("&Frequency Data")};
  MenuItem phaseData{QStringLiteral("phaseData"), QStringLiteral("&Phase Data")};

  MenuItem displayMenu{QStringLiteral("displayMenu"), QStringLiteral(" Displa&y ")};
  MenuItem showFrequencyDiff{QStringLiteral("showFrequencyDiff"),
                             QStringLiteral("&Frequency Diff.")};
  MenuItem showPhaseDiff{QStringLiteral("showPhaseDiff"), QStringLiteral("&Phase Diff")};
  MenuItem displaySeparator{QStringLiteral("displaySeparator"), QStringLiteral("-")};
  MenuItem showStandardAllan{QStringLiteral("showStandardAllan"),
                             QStringLiteral("&Standard Allan Dev.")};
  MenuItem showModifiedAllan{QStringLiteral("showModifiedAllan"),
                             QStringLiteral("&Modified Allan Dev.")};
  MenuItem showTdev{QStringLiteral("showTdev"), QStringLiteral("T&DEV")};
  MenuItem showMtie{QStringLiteral("showMtie"), QStringLiteral("M&TIE")};
  // The telecom mask of the stability plot, shown while it shows TDEV or MTIE.
  MenuItem maskMenu{QStringLiteral("maskMenu"), QStringLiteral("M&ask")};
  MenuItem maskNone{QStringLiteral("maskNone"), QStringLiteral("&None")};
  MenuItem maskPrc{QStringLiteral("maskPrc"), QStringLiteral("G.811 &PRC")};
  MenuItem maskPrtcA{QStringLiteral("maskPrtcA"), QStringLiteral("G.8272 PRTC-&A")};
  MenuItem maskPrtcB{QStringLiteral("maskPrtcB"), QStringLiteral("G.8272 PRTC-&B")};
  MenuItem maskEprtc{QStringLiteral("maskEprtc"), QStringLiteral("G.8272.1 &ePRTC")};
  MenuItem maskEec1{QStringLiteral("maskEec1"), QStringLiteral("G.8262 EEC option &1")};
  MenuItem maskEec2{QStringLiteral("maskEec2"), QStringLiteral("G.8262 EEC option &2")};

  MenuItem graphicMenu{QStringLiteral("graphicMenu"), QStringLiteral("  &Graphic  ")};
  MenuItem autoscale{QStringLiteral("autoscale"), QStringLiteral("&Autoscale")};
  MenuItem limits{QStringLiteral("limits"), QStringLiteral("&Limits")};
  MenuItem graphicSeparator{QStringLiteral("graphicSeparator"), QStringLiteral("-")};
  MenuItem title{QStringLiteral("title"), QStringLiteral("&Title")};
  MenuItem printMenu{QStringLiteral("printMenu"), QStringLiteral("&Print")};
  MenuItem printDataPlot{QStringLiteral("printDataPlot"), QStringLiteral("&Data Plot")};
  MenuItem printStabilityPlot{QStringLiteral("printStabilityPlot"),
                              QStringLiteral("&Stability Plot")};
  MenuItem savePictureMenu{QStringLiteral("savePictureMenu"), QStringLiteral("&Save Picture")};
  MenuItem saveDataPlotPicture{QStringLiteral("saveDataPlotPicture"), QStringLiteral("&Data Plot")};
  MenuItem saveStabilityPlotPicture{QStringLiteral("saveStabilityPlotPicture"),
                                    QStringLiteral("&Stability Plot")};

  MenuItem selectMenu{QStringLiteral("selectMenu"), QStringLiteral(" &Select ")};
  MenuItem tau{QStringLiteral("tau"), QStringLiteral("&Tau")};
  MenuItem normalize{QStringLiteral("normalize"), QStringLiteral("&Normalize DUT Frequency")};
  MenuItem resumeAfterPortLoss{QStringLiteral("resumeAfterPortLoss"),
                               QStringLiteral("&Resume after Port Loss")};

  MenuItem aboutMenu{QStringLiteral("aboutMenu"), QStringLiteral(" &About ")};
  MenuItem statusLabel{QStringLiteral("statusLabel"), QStringLiteral("       Status :")};
  MenuItem statusText{QStringLiteral("statusText"), QStringLiteral("")};

  // One row of the tree: the item and its parent (nullptr for a top-level item).
  struct Node {
    MenuItem* item;
    MenuItem* parent;
  };

  // Every item in menu order, parents before their children.
  std::vector<Node> tree();
  // The children of `parent` in menu order (top-level items for nullptr).
  std::vector<MenuItem*> childrenOf(const MenuItem* parent);
  // The item named `name`, or nullptr.
  MenuItem* find(const QString& name);
};

}  // namespace tessarin::app
