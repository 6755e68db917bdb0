#pragma once

class Console;

// Places each tool window when it is loaded: a column at the right edge of the main window.
void frmFrequency_Place(Console& c);
void frmTau_Load(Console& c);
void frmFormat_Load(Console& c);
void frmOrlak_Load(Console& c);

// Lays the child windows out again from the main window's size: the plots fill the left part,
// the tool windows follow the right edge, the about window the bottom right corner.
void MDIForm_Resize(Console& c);
