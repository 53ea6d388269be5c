// Handlers whose subsystems are not connected yet. Each moves to the folder of
// its subsystem when that subsystem is built.
#include "ui/form1.h"

namespace tsuzuri {

// keysig/
void Form1::Command5_Click() {}
void Form1::Command6_Click() {}
void Form1::Command5_MouseDown(int, int, double, double) {}
void Form1::Command6_MouseDown(int, int, double, double) {}
void Form1::Command5_GotFocus() {}
void Form1::Command6_GotFocus() {}
void Form1::setflat(std::int16_t&) {}
void Form1::setsharp(std::int16_t&) {}
void Form1::setn(std::int16_t&, std::int16_t&, std::int16_t&, std::int16_t&) {}
void Form1::reptable(std::int16_t&, std::string&, std::int16_t&) {}

// view/
void Form1::Command3_Click() {}
void Form1::Command4_Click() {}
void Form1::Command3_MouseMove(int, int, double, double) {}
void Form1::Command4_MouseMove(int, int, double, double) {}
void Form1::Slider1_MouseMove(int, int, double, double) {}
void Form1::Slider1_GotFocus() {}
void Form1::progd(std::uint8_t) {}
void Form1::Combo1_Change() {}
void Form1::Combo1_Click() {}
void Form1::UpDown1_Change() {}
void Form1::Text3_Change() {}
void Form1::UpDown3_Change() {}
void Form1::UpDown4_Change() {}
void Form1::Check1_Click() {}
void Form1::Command12_Click() {}
void Form1::Command13_Click() {}
void Form1::Command12_MouseDown(int, int, double, double) {}
void Form1::Command13_MouseDown(int, int, double, double) {}
void Form1::Command12_GotFocus() {}
void Form1::Command13_GotFocus() {}
void Form1::Command12_MouseMove(int, int, double, double) {}
void Form1::Command13_MouseMove(int, int, double, double) {}
void Form1::Command2_Click(int) {}
void Form1::Command2_KeyDown(int, int, int) {}
void Form1::Command16_Click() {}
void Form1::Command8_KeyDown(int, int) {}
void Form1::Command8_KeyUp(int, int) {}
void Form1::Image2_MouseDown(int, int, int, double, double) {}
void Form1::Image2_MouseUp(int, int, int, double, double) {}

// mml/
void Form1::Command15_Click() {}
void Form1::Image1_MouseDown(int, int, int, double, double) {}
void Form1::Image1_MouseUp(int, int, int, double, double) {}
void Form1::ennote(const std::string&) {}
void Form1::noteon(std::uint8_t) {}

}  // namespace tsuzuri
