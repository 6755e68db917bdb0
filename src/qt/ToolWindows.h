#pragma once

#include <QWidget>

#include "app/Windows.h"

namespace tessarin::qt {

// The contents of the small tool windows, bound to the text boxes and the list they show.
QWidget* CreateFrequencyPanel(app::Windows& w);
QWidget* CreateNominalPanel(app::Windows& w);
QWidget* CreateTauPanel(app::Windows& w);
QWidget* CreateScalePanel(app::Windows& w);
QWidget* CreateTitlePanel(app::Windows& w);
QWidget* CreateAboutPanel(app::Windows& w);

}  // namespace tessarin::qt
