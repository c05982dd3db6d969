// The program's entry: the application object, the two forms, the message loop.
#pragma once

#include <functional>

class TApplication;

// Runs the program with createForms making its forms; an Exception escaping start-up is
// shown by the standard exception display. Returns 0.
int RunApplication(int argc, char** argv, const std::function<void(TApplication&)>& createForms);

int WinMain(int argc, char** argv);
