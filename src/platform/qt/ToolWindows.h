#pragma once

#include <QWidget>

struct Windows;

// The contents of the small tool windows, bound to the text boxes and the list they show.
QWidget* CreateFrequencyPanel(Windows& w);
QWidget* CreateNominalPanel(Windows& w);
QWidget* CreateTauPanel(Windows& w);
QWidget* CreateScalePanel(Windows& w);
QWidget* CreateAboutPanel();
