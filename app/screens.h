#pragma once
// The screens' global pointers. Each is the only reference the program keeps to its form and is empty while the
// form does not exist; a screen's unit defines its own pointer (Unit2.cpp: `TForm2* Form2 = nullptr;`) and its
// close handler frees the form and clears the pointer, so the menu's next click makes a fresh one.
//
// A screen is one unit: app/UnitN.h declares the class, app/UnitN.cpp defines it with its pointer and its
// registration, app/forms/UnitN.vfm holds its form text and app/forms/UnitN.rc names it
// (`TFORMN RCDATA "UnitN.vfm"`). The main window's menu opens the real class as soon as app/UnitN.h exists and an
// empty stand-in child with the screen's caption until then (Unit1.cpp).
//
// Closing a screen, or the main window over it, must not drop what was typed: a screen's close-query handler
// calls ConfirmPendingEdits(this) (PendingEdits.h).
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm11;
class TForm12;
class TAboutBox;

extern TForm1* Form1;    // main window
extern TForm2* Form2;    // student records
extern TForm3* Form3;    // counselling clients
extern TForm4* Form4;    // student interviews
extern TForm6* Form6;    // Excel import
extern TForm7* Form7;    // statistics
extern TForm8* Form8;    // teacher interviews
extern TForm9* Form9;    // fixed settings
extern TForm11* Form11;  // parent interviews
extern TForm12* Form12;  // login dialog
extern TAboutBox* AboutBox;
