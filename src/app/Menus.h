#pragma once

#include <vector>

#include "app/UiModel.h"

// The main window's menu bar, in menu-bar order. Captions are the console's own ("&" marks the
// access key; the blanks around the top-level captions belong to them).
struct Menus {
  MenuItem mnuFile{"mnuFile", "   &File   "};
  MenuItem mnuSave{"mnuSave", "&Save File as"};
  MenuItem mnuProgram{"mnuProgram", "&Initialization"};
  MenuItem mnuSte2{"mnuSte2", "-"};
  MenuItem mnuStart{"mnuStart", "S&tart"};
  MenuItem mnuStep1{"mnuStep1", "-"};
  MenuItem mnuQuit{"mnuQuit", "&Quit"};

  MenuItem mnuPort{"mnuPort", " &Port "};
  MenuItem mnuCom1{"mnuCom1", "Com &1"};
  MenuItem mnuCom2{"mnuCom2", "Com &2"};
  MenuItem mnuCom3{"mnuCom3", "Com &3"};
  MenuItem mnuCom4{"mnuCom4", "Com &4"};

  MenuItem mnuMode{"mnuMode", " &Mode "};
  MenuItem mnuFiltered{"mnuFiltered", "&Filtered"};
  MenuItem mnuNonFiltered{"mnuNonFiltered", "&Non-Filtered"};

  MenuItem mnuPrintFile{"mnuPrintFile", " S&tore "};
  MenuItem mnuFreqData{"mnuFreqData", "&Frequency Data"};
  MenuItem mnuPhaseData{"mnuPhaseData", "&Phase Data"};

  MenuItem mnuDisplay{"mnuDisplay", " Displa&y "};
  MenuItem mnuDispF{"mnuDispF", "&Frequency Diff."};
  MenuItem mnuDispTIE{"mnuDispTIE", "&Phase Diff"};
  MenuItem mnuStep3{"mnuStep3", "-"};
  MenuItem mnuDispSA{"mnuDispSA", "&Standard Allan Dev."};
  MenuItem mnuModif{"mnuModif", "&Modified Allan Dev."};
  MenuItem mnuDispTDEV{"mnuDispTDEV", "T&DEV"};
  MenuItem mnuDispMTIE{"mnuDispMTIE", "M&TIE"};

  MenuItem mnuGraphic{"mnuGraphic", "  &Graphic  "};
  MenuItem mnuAuto{"mnuAuto", "&Autoscale"};
  MenuItem mnuLimits{"mnuLimits", "&Limits"};
  MenuItem mnuStep2{"mnuStep2", "-"};
  MenuItem mnuTitle{"mnuTitle", "&Title"};
  MenuItem mnuPrint{"mnuPrint", "&Print"};
  MenuItem mnuPlotF{"mnuPlotF", "&Data Plot"};
  MenuItem mnuPlotA{"mnuPlotA", "&Stability Plot"};
  MenuItem mnuSaveP{"mnuSaveP", "&Save Picture"};
  MenuItem mnuSaveF{"mnuSaveF", "&Data Plot"};
  MenuItem mnuSaveA{"mnuSaveA", "&Stability Plot"};

  MenuItem mnuSelect{"mnuSelect", " &Select "};
  MenuItem mnuTau{"mnuTau", "&Tau"};
  MenuItem mnuFormat{"mnuFormat", "&Normalize DUT Frequency"};

  MenuItem mnuAbout{"mnuAbout", " &About "};
  MenuItem mnuLabel{"mnuLabel", "       Status :"};
  MenuItem mnuStatus{"mnuStatus", ""};

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
