// Handlers whose subsystems are not connected yet. Each moves to the folder of
// its subsystem when that subsystem is built.
#include "ui/form1.h"

namespace tsuzuri {

// score/
void Form1::Form_MouseMove(int, int, double, double) {}
void Form1::Picture2_MouseMove(int, int, double, double) {}
void Form1::disp(int, int, int) {}
void Form1::Image4_MouseDown(int, int, int, double, double) {}
void Form1::Image4_MouseMove(int, int, int, double, double) {}
void Form1::Picture2_KeyDown(int, int) {}
void Form1::Picture1_KeyDown(int, int) {}
void Form1::del() {}
void Form1::Command17_Click() {}

// mml/

}  // namespace tsuzuri
